# Locates the JUCE 8 tree the build uses.
#
# VAZEZAV_JUCE_DIR may point at any JUCE 8 checkout (an upstream clone on
# macOS, for instance). Left empty, the tree that scripts/setup.sh unpacks
# from Debian's source package is used.

set(VAZEZAV_JUCE_DIR "" CACHE PATH "Path to a JUCE 8 source tree")

if(NOT VAZEZAV_JUCE_DIR)
    if(DEFINED ENV{VAZEZAV_CACHE})
        set(_vazezav_cache "$ENV{VAZEZAV_CACHE}")
    elseif(DEFINED ENV{XDG_CACHE_HOME})
        set(_vazezav_cache "$ENV{XDG_CACHE_HOME}/vazezav")
    else()
        set(_vazezav_cache "$ENV{HOME}/.cache/vazezav")
    endif()
    set(_vazezav_default "${_vazezav_cache}/juce-8.0.6+ds")
    if(EXISTS "${_vazezav_default}/CMakeLists.txt")
        set(VAZEZAV_JUCE_DIR "${_vazezav_default}" CACHE PATH "Path to a JUCE 8 source tree" FORCE)
    endif()
endif()

if(NOT EXISTS "${VAZEZAV_JUCE_DIR}/CMakeLists.txt")
    message(FATAL_ERROR
        "No JUCE tree found. Run scripts/setup.sh, or pass -DVAZEZAV_JUCE_DIR=/path/to/JUCE.")
endif()

file(STRINGS "${VAZEZAV_JUCE_DIR}/CMakeLists.txt" _vazezav_juce_project REGEX "project\\(JUCE VERSION")
if(NOT _vazezav_juce_project MATCHES "VERSION 8\\.")
    message(FATAL_ERROR "${VAZEZAV_JUCE_DIR} is not a JUCE 8 tree (${_vazezav_juce_project})")
endif()

if(EXISTS "${VAZEZAV_JUCE_DIR}/debian/patches/debian_fixed-defines.patch")
    set(VAZEZAV_JUCE_IS_DEBIAN_TREE ON)
else()
    set(VAZEZAV_JUCE_IS_DEBIAN_TREE OFF)
endif()

message(STATUS "JUCE tree: ${VAZEZAV_JUCE_DIR} (Debian: ${VAZEZAV_JUCE_IS_DEBIAN_TREE})")
