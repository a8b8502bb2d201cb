# Timestamps: the checks of the time fields.
target_sources(purelogic PRIVATE ${PROJECT_SOURCE_DIR}/timestamp/TimeFields.cpp)
