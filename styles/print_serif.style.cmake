# The style sheet print_serif.css: base.css.in with these values.

set(Description [=[
   A book-like theme: a serif text face on white, a narrow text column,
   thin rules and burgundy accents. Made to print well: on paper the
   page uses the full width, links turn black and declaration boxes and
   definition rows are kept whole. Pure ASCII on purpose.]=])

# Shape
set(MainPadding "1.5em 1.75em 2.5em 1.75em")
set(MainWidth "44em")
set(MainFontSize "106%")
set(MainLineHeight "1.6")
set(TextFont "Georgia, \"Palatino Linotype\", Palatino, \"Book Antiqua\", \"DejaVu Serif\", \"Times New Roman\", serif")
set(HeadingFont "Georgia, \"Palatino Linotype\", Palatino, \"Book Antiqua\", \"DejaVu Serif\", \"Times New Roman\", serif")
set(HeadingWeight "normal")
set(H1Size "2.3em")
set(H1RuleWidth "1px")
set(H3Size "1.45em")
set(Radius "0")
set(SmallRadius "0")
set(BoxBarWidth "3px")
set(ApiBarWidth "3px")

# Colours
set(PageBackground "#ffffff")
set(Text "#1a1a1a")
set(SideBackground "#faf8f4")
set(Link "#8b1e2d")
set(LinkVisited "#5e2a52")
set(LinkHover "#5a0f1a")
set(LinkActive "#c0392b")
set(Heading "#111111")
set(H1Rule "#1a1a1a")
set(SubHeading "#5a1620")
set(CodeBackground "#faf9f6")
set(CodeBorder "#dedad2")
set(ProjectTitle "#8b1e2d")
set(BoxBackground "#ffffff")
set(BoxBorder "#d8d3c8")
set(Accent "#8b1e2d")
set(RowRule "#e6e1d7")
set(SummaryText "#3b3b3b")
set(SectionRule "#cfc9bd")
set(SectionHeading "#111111")
set(ApiBackground "#faf9f6")
set(ApiBorder "#dedad2")
set(ApiBar "#8b1e2d")
set(ApiText "#222222")
set(ApiName "#8b1e2d")
set(Highlight "#f6ecc8")
set(FigureBacking "#ffffff")
set(Muted "#6b6b6b")
set(FooterBackground "#ffffff")
set(FooterBorder "#dedad2")
set(SideText "#555555")
set(SideDetailRule "#1a1a1a")
set(SideDetailBorder "#cfc9bd")
set(SideLink "#3a1a1f")

set(Tail [=[

/* ---- Book touches --------------------------------------------------- */

h1 {
    text-align: center;
    letter-spacing: 0.01em;
}

div.ProjectTitle {
    font-weight: normal;
    letter-spacing: 0.25em;
}

h2 {
    font-variant: small-caps;
    letter-spacing: 0.06em;
}

div.Section {
    border-top: 0;
}

h3 {
    border-bottom: 1px solid #e6e1d7;
    padding-bottom: 0.15em;
}

h4 {
    font-style: italic;
}

a.SideDetail:link, a.SideDetail:visited {
    font-variant: small-caps;
    letter-spacing: 0.04em;
}

@page {
    margin: 2cm 2cm 2.2cm 2cm;
}

@media print {
    body.Main {
        font-size: 11pt;
        line-height: 1.45;
    }
    a:link, a:visited {
        color: #000000;
    }
    div.Toc, div.Summary {
        border: 0;
        border-top: 1px solid #000000;
        border-bottom: 1px solid #000000;
        padding-left: 0;
        padding-right: 0;
    }
    ul.TocLinks {
        -webkit-column-width: 12em;
        -moz-column-width: 12em;
        column-width: 12em;
    }
    div.Section {
        border-top: 0;
    }
    div.Footer {
        border: 0;
        padding: 0;
    }
}
]=])
