# Copy engine: the update rule and the size units.
target_sources(purelogic PRIVATE ${PROJECT_SOURCE_DIR}/copy/NewerRule.cpp)
# Folder browser: the history file's reader and writer, the sort order.
target_sources(purelogic PRIVATE ${PROJECT_SOURCE_DIR}/copy/History.cpp)
