# Sources of the Script back-end (relative to this folder).
set(KOV1_SCRIPT_SOURCES script.cpp script_parse.cpp)
