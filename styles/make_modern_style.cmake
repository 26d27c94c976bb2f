# Makes the modern form of one style: the content rules of base.css.in with
# every colour read from a custom property, a light and a dark palette, and
# the chrome of a Modern book (modern.css.in).
#   cmake -DSTYLE=<name>.style.cmake -DOUTPUT=<name>.modern.css -P make_modern_style.cmake
# A style without a .style.cmake (minimal) passes -DSTYLE=<name> alone and
# takes its values from <name>.modern.cmake.
# <name>.modern.cmake, when there is one, sets the other palette: Dark_<Colour>
# for a light style, Light_<Colour> and StyleIsDark for a dark one; colours it
# leaves out come from modern_palettes.cmake.

cmake_minimum_required(VERSION 3.25)

get_filename_component(here "${CMAKE_CURRENT_LIST_FILE}" DIRECTORY)
get_filename_component(style_file "${STYLE}" NAME)
string(REGEX REPLACE "\\.style\\.cmake$" "" StyleName "${style_file}")

set(Prelude "")
set(FigureNote "")
set(Tail "")
set(StyleIsDark FALSE)
include("${here}/base.cmake")
if(EXISTS "${STYLE}")
    include("${STYLE}")
endif()
# The classic sheets' own colour blocks (a dark media query, dark print rules)
# would fight the palettes: a style keeps only what ModernTail says.
set(ModernTail "${Tail}")
include("${here}/modern_palettes.cmake")
if(EXISTS "${here}/${StyleName}.modern.cmake")
    include("${here}/${StyleName}.modern.cmake")
endif()

set(colours
    PageBackground Text SideBackground Link LinkVisited LinkHover LinkActive Heading H1Rule SubHeading
    CodeBackground CodeBorder ProjectTitle BoxBackground BoxBorder Accent RowRule SummaryText SectionRule
    SectionHeading ApiBackground ApiBorder ApiBar ApiText ApiName Highlight FigureBacking Muted
    FooterBackground FooterBorder SideText SideDetailRule SideDetailBorder SideLink)

set(light "")
set(dark "")
foreach(colour IN LISTS colours)
    if(StyleIsDark)
        set(light_value "${Light_${colour}}")
        set(dark_value "${${colour}}")
    else()
        set(light_value "${${colour}}")
        set(dark_value "${Dark_${colour}}")
    endif()
    if(light_value STREQUAL "" OR dark_value STREQUAL "")
        message(FATAL_ERROR "${StyleName} has no light or no dark value for ${colour}")
    endif()
    string(APPEND light "--${colour}:${light_value};")
    string(APPEND dark "--${colour}:${dark_value};")
    set(${colour} "var(--${colour})")
endforeach()

file(READ "${here}/base.css.in" content)
string(REGEX REPLACE "\n$" "" content "${content}")
# The classic sheet's opening comment describes the classic sheet.
string(REGEX REPLACE "^/\\*[^*]*\\*/\n" "" content "${content}")
string(REGEX MATCHALL "@[A-Za-z0-9_]+@" placeholders "${content}")
list(REMOVE_DUPLICATES placeholders)
foreach(placeholder IN LISTS placeholders)
    string(REPLACE "@" "" variable "${placeholder}")
    if(NOT DEFINED ${variable})
        message(FATAL_ERROR "${StyleName} gives no value for ${placeholder} of base.css.in")
    endif()
endforeach()
set(Prelude "")
set(Tail "${ModernTail}")
string(CONFIGURE "${content}" content @ONLY)

file(READ "${here}/modern.css.in" chrome)
string(CONFIGURE "${chrome}" chrome @ONLY)
# A colour the palettes do not define would silently be no colour at all.
string(REGEX MATCHALL "var\\(--[A-Za-z0-9]+\\)" used "${content}${chrome}")
list(REMOVE_DUPLICATES used)
foreach(reference IN LISTS used)
    string(REGEX REPLACE "^var\\(--(.*)\\)$" "\\1" colour "${reference}")
    if(NOT colour IN_LIST colours)
        message(FATAL_ERROR "${reference} is in no palette of ${StyleName}")
    endif()
endforeach()

# No attribute: the system decides; an attribute set by the reader wins.
set(sheet "/* Tessarel modern style: ${StyleName} */
:root,[data-theme=light]{color-scheme:light;${light}}
[data-theme=dark]{color-scheme:dark;${dark}}
@media (prefers-color-scheme: dark){:root:not([data-theme]){color-scheme:dark;${dark}}}
@media print{:root:not([data-theme]),:root[data-theme]{color-scheme:light;${light}}}
${content}
${chrome}")
file(WRITE "${OUTPUT}.new" "${sheet}")
file(RENAME "${OUTPUT}.new" "${OUTPUT}")
