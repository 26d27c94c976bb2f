# Makes one style sheet from the shared base and the style's own values.
#   cmake -DSTYLE=<name>.style.cmake -DOUTPUT=<name>.css -P make_style.cmake
# base.cmake gives the shape every style has unless it sets its own; the style
# file sets its colours and, where it differs, its shape and its own blocks.
# Every @Name@ of base.css.in must have a value, so a style that forgets one
# stops the build instead of shipping a sheet with a hole in it.

cmake_minimum_required(VERSION 3.25)

get_filename_component(here "${CMAKE_CURRENT_LIST_FILE}" DIRECTORY)
get_filename_component(style_file "${STYLE}" NAME)
string(REGEX REPLACE "\\.style\\.cmake$" "" StyleName "${style_file}")

# The blocks only some styles have.
set(Prelude "")
set(FigureNote "")
set(Tail "")
include("${here}/base.cmake")
include("${STYLE}")

file(READ "${here}/base.css.in" sheet)
# The template ends its last line like any text file; @Tail@ ends the sheet.
string(REGEX REPLACE "\n$" "" sheet "${sheet}")

string(REGEX MATCHALL "@[A-Za-z0-9_]+@" placeholders "${sheet}")
list(REMOVE_DUPLICATES placeholders)
foreach(placeholder IN LISTS placeholders)
    string(REPLACE "@" "" variable "${placeholder}")
    if(NOT DEFINED ${variable})
        message(FATAL_ERROR "${style_file} gives no value for ${placeholder} of base.css.in")
    endif()
endforeach()

string(CONFIGURE "${sheet}" sheet @ONLY)
file(WRITE "${OUTPUT}.new" "${sheet}")
file(RENAME "${OUTPUT}.new" "${OUTPUT}")
