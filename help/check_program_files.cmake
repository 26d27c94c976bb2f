# Checks the read-only program files that ship beside Tessarel.
#   cmake -DSTYLES_DIR=<styles folder> -DHELP_DIR=<help folder> -P check_program_files.cmake
# Pages declare the ISO-8859-1 character set and embed a style sheet inside an
# HTML comment, so every file must be pure ASCII and no sheet may open or
# close a comment. Every sheet must style every class the pages use and give
# figures a light backing, and every help topic the program opens must exist
# and be reachable.

cmake_minimum_required(VERSION 3.25)

set(failures 0)
set(checked 0)
macro(fail message)
    message("FAIL: ${message}")
    math(EXPR failures "${failures} + 1")
endmacro()

# True in ${out} when the file holds a byte above 127.
function(has_non_ascii file out)
    file(READ "${file}" hex HEX)
    string(REGEX MATCH "^(..)*[89a-f]" found "${hex}")
    if(found)
        set(${out} TRUE PARENT_SCOPE)
    else()
        set(${out} FALSE PARENT_SCOPE)
    endif()
endfunction()

# ---- Style sheets ----------------------------------------------------------

set(page_classes
    Main Side ProjectTitle SectionText Toc TocLinks TocLink Summary SummaryTable SummaryRow SummaryLink
    SummaryText AllSections Section Api ApiName HighText Figure Copy Footer SourceLocation LastGenerated
    DefTable Def DefSep DefText SideTitle SideText SideDetail LinksTable SideLink)

foreach(required minimal.css standard_babyblue.css)
    if(NOT EXISTS "${STYLES_DIR}/${required}")
        fail("the style sheet ${required} is missing")
    endif()
endforeach()

file(GLOB sheets "${STYLES_DIR}/*.css")
foreach(sheet IN LISTS sheets)
    get_filename_component(name "${sheet}" NAME)
    math(EXPR checked "${checked} + 1")
    has_non_ascii("${sheet}" bad)
    if(bad)
        fail("${name} holds a character outside ASCII")
    endif()
    file(READ "${sheet}" css)
    string(FIND "${css}" "-->" close_at)
    string(FIND "${css}" "<!--" open_at)
    if(NOT close_at EQUAL -1 OR NOT open_at EQUAL -1)
        fail("${name} holds an HTML comment delimiter")
    endif()
    # Comments do not count as styling a class.
    string(REGEX REPLACE "/\\*([^*]|\\*+[^*/])*\\*+/" "" rules "${css}")
    foreach(class IN LISTS page_classes)
        string(REGEX MATCH "\\.${class}([^A-Za-z0-9_-]|$)" styled "${rules}")
        if(NOT styled)
            fail("${name} does not style the class ${class}")
        endif()
    endforeach()
    # Figures are mostly drawn for white paper, with black lines and labels:
    # every backing a sheet gives them, in a dark style too, is light.
    string(REPLACE ";" "," declarations "${rules}")
    string(REGEX MATCHALL "div\\.Figure img[ \t\r\n]*{[^}]*}" figure_rules "${declarations}")
    foreach(rule IN LISTS figure_rules)
        set(hex "[0-9a-fA-F][0-9a-fA-F]")
        if(rule MATCHES "background(-color)?:[ \t]*#(${hex})(${hex})(${hex})")
            math(EXPR lightness "0x${CMAKE_MATCH_2} + 0x${CMAKE_MATCH_3} + 0x${CMAKE_MATCH_4}")
            if(lightness LESS 690)
                fail("${name} gives figures a dark backing")
            endif()
        endif()
    endforeach()
endforeach()

# ---- Help topics -----------------------------------------------------------

set(program_topics
    intro.htm walk.txt.htm comments.txt.htm visual_settings.txt.htm visual_files.txt.htm
    visual_dest_dir.txt.htm visual_default_chapter.txt.htm html_help.txt.htm)
foreach(topic IN LISTS program_topics)
    if(NOT EXISTS "${HELP_DIR}/${topic}")
        fail("the help topic ${topic} is missing")
    endif()
endforeach()

file(GLOB pages "${HELP_DIR}/*.htm")
foreach(page IN LISTS pages)
    get_filename_component(name "${page}" NAME)
    math(EXPR checked "${checked} + 1")
    has_non_ascii("${page}" bad)
    if(bad)
        fail("${name} holds a character outside ASCII; write it as an HTML entity")
    endif()
    file(READ "${page}" html)
    string(FIND "${html}" "charset=iso-8859-1" charset_at)
    if(charset_at EQUAL -1)
        fail("${name} does not declare charset=iso-8859-1")
    endif()
    string(REGEX MATCHALL "(href|src)=\"[^\"]*\"" links "${html}")
    foreach(link IN LISTS links)
        string(REGEX REPLACE "^(href|src)=\"([^\"#]*).*$" "\\2" target "${link}")
        if(target STREQUAL "" OR target MATCHES "^[a-z]+:")
            continue()
        endif()
        if(NOT EXISTS "${HELP_DIR}/${target}")
            fail("${name} links to ${target}, which does not exist")
        endif()
    endforeach()
endforeach()

# The compiled help file: every listed file exists, every topic the program
# opens is compiled in and has a place in the contents.
foreach(project_file help.hhp help.hhc help.hhk)
    if(NOT EXISTS "${HELP_DIR}/${project_file}")
        fail("the help project file ${project_file} is missing")
    endif()
endforeach()
if(EXISTS "${HELP_DIR}/help.hhp" AND EXISTS "${HELP_DIR}/help.hhc")
    file(STRINGS "${HELP_DIR}/help.hhp" hhp_lines)
    set(listed "")
    set(in_files FALSE)
    foreach(line IN LISTS hhp_lines)
        if(line MATCHES "^\\[")
            set(in_files FALSE)
            if(line STREQUAL "[FILES]")
                set(in_files TRUE)
            endif()
        elseif(in_files AND NOT line STREQUAL "")
            list(APPEND listed "${line}")
            if(NOT EXISTS "${HELP_DIR}/${line}")
                fail("help.hhp lists ${line}, which does not exist")
            endif()
        endif()
    endforeach()
    file(READ "${HELP_DIR}/help.hhc" hhc)
    list(REMOVE_ITEM program_topics intro.htm)
    foreach(topic IN LISTS program_topics)
        if(NOT topic IN_LIST listed)
            fail("help.hhp does not compile ${topic} into help.chm")
        endif()
        string(FIND "${hhc}" "value=\"${topic}\"" toc_at)
        if(toc_at EQUAL -1)
            fail("help.hhc has no entry for ${topic}")
        endif()
    endforeach()
endif()

if(failures GREATER 0)
    message(FATAL_ERROR "${failures} problems in the program files")
endif()
message("${checked} program files checked, no problems")
