# The values of base.css.in. Every NAME.style.cmake beside it makes NAME.css
# (make_style.cmake); minimal.css shares almost nothing with the others and is
# shipped as it is.
#
# A style sets:
#   Description   the lines of its opening comment after "/* Tessarel style: NAME"
#   Prelude       rules before the page bodies, after a blank line (optional)
#   FigureNote    a comment before the figure rule (optional)
#   Tail          rules after the shared ones, after a blank line (optional)
# and every colour:
#   PageBackground, Text, SideBackground        chapter page, text, side pages
#   Link, LinkVisited, LinkHover, LinkActive    links; LinkHover also the
#                                               highlighted text and side links
#   Heading, SubHeading, SectionHeading         h1 to h4, h4, a section's h3
#   H1Rule                                      the rule under the title
#   CodeBackground, CodeBorder                  pre blocks
#   ProjectTitle                                the project's name above the title
#   BoxBackground, BoxBorder, Accent            contents and summary boxes, their
#                                               bar, bullets and definition marks
#   RowRule, SummaryText                        summary rows
#   SectionRule                                 above each section and the copyright
#   ApiBackground, ApiBorder, ApiBar, ApiText, ApiName    declaration boxes
#   Highlight                                   highlighted text, hovered side links
#   FigureBacking                               behind figures: light in every style
#   Muted                                       copyright and footer text
#   FooterBackground, FooterBorder              the footer box
#   SideText, SideDetailRule, SideDetailBorder, SideLink  side pages
#
# The shape below is what a style has unless it sets its own.

set(TextFont "\"Segoe UI\", \"Noto Sans\", \"DejaVu Sans\", Helvetica, Arial, sans-serif")
set(HeadingFont "inherit")
set(HeadingWeight "600")
set(MainPadding "1.25em 1.5em 2em 1.5em")
set(MainWidth "60em")
set(MainFontSize "100%")
set(MainLineHeight "1.55")
set(SideFontSize "90%")
set(H1Size "2em")
set(H1RuleWidth "3px")
set(H3Size "1.35em")
set(Radius "4px")
set(SmallRadius "3px")
set(BoxMargin "1.5em 0")
set(BoxPadding "0.9em 1.2em")
set(BoxBarWidth "5px")
set(SectionMargin "0 0 1.75em 0")
set(SectionPadding "1em 0 0 0")
set(ApiBarWidth "4px")
