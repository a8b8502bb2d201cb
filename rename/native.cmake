# Rename and create: the joins CgName makes in messageBuffer.
target_sources(purelogic PRIVATE ${PROJECT_SOURCE_DIR}/rename/NameRules.cpp)
