# Copy engine: the update rule and the size units.
target_sources(purelogic PRIVATE ${PROJECT_SOURCE_DIR}/copy/NewerRule.cpp)
