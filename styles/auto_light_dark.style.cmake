# The style sheet auto_light_dark.css: base.css.in with these values.

set(Description [=[
   Follows the reader's system setting: light pages with teal accents by
   default, and a dark version of the same design when the system asks
   for a dark appearance. Readers without that setting get the light
   pages. Pure ASCII on purpose.]=])
set(Prelude [=[

/* Scroll bars and form controls follow the chosen appearance. */
html {
    color-scheme: light dark;
}
]=])

# Colours
set(PageBackground "#ffffff")
set(Text "#222426")
set(SideBackground "#f4f5f6")
set(Link "#0b6e79")
set(LinkVisited "#5b5a8f")
set(LinkHover "#064e56")
set(LinkActive "#b83a2e")
set(Heading "#1d2226")
set(H1Rule "#9bd2cf")
set(SubHeading "#0b6e79")
set(CodeBackground "#f6f7f8")
set(CodeBorder "#dfe3e6")
set(ProjectTitle "#5f7c80")
set(BoxBackground "#f5f8f8")
set(BoxBorder "#dde7e7")
set(Accent "#58b5ad")
set(RowRule "#e3eaea")
set(SummaryText "#454b50")
set(SectionRule "#e4e8ea")
set(SectionHeading "#14191c")
set(ApiBackground "#f1f7f6")
set(ApiBorder "#d3e6e3")
set(ApiBar "#2f9c92")
set(ApiText "#25312f")
set(ApiName "#086059")
set(Highlight "#fff1b8")
set(FigureBacking "#ffffff")
set(Muted "#676f75")
set(FooterBackground "#f7f8f9")
set(FooterBorder "#e5e8ea")
set(SideText "#555c61")
set(SideDetailRule "#b9dedb")
set(SideDetailBorder "#bfdcd9")
set(SideLink "#0d5e66")

set(Tail [=[

/* ---- Dark appearance ------------------------------------------------ */

@media (prefers-color-scheme: dark) {
    html {
        background: #17191c;
    }
    body.Main {
        background: #17191c;
        color: #dcdfe2;
    }
    body.Side {
        background: #111315;
        color: #dcdfe2;
    }
    a:link {
        color: #5fd0c4;
    }
    a:visited {
        color: #a9a6e8;
    }
    a:hover, a:focus {
        color: #9ae6dd;
    }
    a:active {
        color: #ff8f80;
    }
    h1, h2, h3, h4 {
        color: #eef1f3;
    }
    h1 {
        border-bottom-color: #2c7a73;
    }
    h4 {
        color: #6fd6ca;
    }
    pre {
        background: #0f1113;
        border-color: #2a2e33;
    }
    div.ProjectTitle {
        color: #7fa3a0;
    }
    div.Toc {
        background: #1d2124;
        border-color: #2b3034;
        border-left-color: #3aa399;
    }
    li.TocLink:before {
        color: #3aa399;
    }
    a.TocLink:link, a.TocLink:visited {
        color: #5fd0c4;
    }
    div.Summary {
        background: #1d2124;
        border-color: #2b3034;
        border-left-color: #3aa399;
    }
    td.SummaryLink {
        border-top-color: #2b3034;
    }
    td.SummaryText {
        border-top-color: #2b3034;
        color: #b7bcc1;
    }
    a.SummaryLink:link, a.SummaryLink:visited {
        color: #5fd0c4;
    }
    div.Section {
        border-top-color: #2a2f33;
    }
    div.Section h3 {
        color: #f4f6f7;
    }
    div.Api {
        background: #13201f;
        border-color: #24403d;
        border-left-color: #3aa399;
        color: #d2dedc;
    }
    font.ApiName {
        color: #8ff0e4;
    }
    font.HighText {
        background: #23423f;
        color: #9ae6dd;
    }
    /* Figures are mostly drawn for white paper: they keep a light backing. */
    div.Figure img {
        background: #f2f4f5;
        border-color: #2b3034;
    }
    td.Def {
        color: #eef1f3;
    }
    td.DefSep {
        color: #3aa399;
    }
    div.Copy {
        border-top-color: #2a2f33;
        color: #8d959b;
    }
    div.Footer {
        background: #1a1d20;
        border-color: #2a2e32;
        color: #8d959b;
    }
    div.SideTitle {
        color: #eef1f3;
    }
    div.SideText {
        color: #9aa2a8;
    }
    div.SideDetail {
        border-bottom-color: #2c5e5a;
    }
    a.SideDetail:link, a.SideDetail:visited {
        background: #17191c;
        border-color: #2f5d59;
        color: #5fd0c4;
    }
    a.SideDetail:hover, a.SideDetail:focus {
        background: #23423f;
    }
    a.SideLink:link, a.SideLink:visited {
        color: #8fdcd3;
    }
    a.SideLink:hover, a.SideLink:focus {
        background: #23423f;
        color: #9ae6dd;
    }
}

/* Paper is white, even when the screen is dark. */
@media print {
    html {
        color-scheme: light;
    }
    html, body.Main, body.Main * {
        color: #000000 !important;
        background: #ffffff !important;
        border-color: #bbbbbb !important;
    }
}
]=])
