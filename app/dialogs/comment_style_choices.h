#pragma once

#include "support/settings.h"

#include <QString>

namespace tessarel {

struct ProjectModel;
class Preferences;

/// One check box of the comment styles dialog.
struct CommentStyleBox {
    const char16_t* caption;
    const char16_t* hint;
    bool CommentStyles::*flag;
    bool singleLine;  ///< in the "Single Line" frame, else "Multiple Lines"
};

/// The ten boxes in the order the dialog shows them.
inline constexpr CommentStyleBox kCommentStyleBoxes[] = {
    {u"// , /// , ...", u"(e.g. C/C++, Java)", &CommentStyles::doubleSlash, true},
    {u"' , '' , ...", u"(e.g. VB, ASP)", &CommentStyles::apostrophe, true},
    {u"#, ##, ...", u"(e.g. Perl, Ruby)", &CommentStyles::hash, true},
    {u"; , ;; , ...", u"(e.g. Assembler)", &CommentStyles::semicolon, true},
    {u"- , -- , ...", u"(e.g. Ada, SQL)", &CommentStyles::dash, true},
    {u"c , C, ... ", u"(e.g. Fortran)", &CommentStyles::letterC, true},
    {u"!, !!, ...", u"(e.g. Fortran)", &CommentStyles::exclamation, true},
    {u"/* comment */", u"(e.g. C/C++, PHP)", &CommentStyles::slashStar, false},
    {u"(* comment  *)", u"(e.g. Pascal)", &CommentStyles::parenStar, false},
    {u"{ comment }", u"(e.g. Delphi, Pascal)", &CommentStyles::braces, false},
};

/// The styles the dialog opens with: the open project's, else the stored
/// single-file styles.
CommentStyles LoadCommentChoices(const ProjectModel& project, const Preferences& preferences);
/// OK: into the open project, else into the stored single-file styles.
void StoreCommentChoices(const CommentStyles& styles, ProjectModel& project, Preferences& preferences);

}  // namespace tessarel
