#include "app/dialogs/comment_style_choices.h"

#include "project/project_model.h"
#include "support/preferences.h"

namespace tessarel {

CommentStyles LoadCommentChoices(const ProjectModel& project, const Preferences& preferences) {
    return project.isOpen() ? project.settings.comments : ReadSingleFileCommentStyles(preferences);
}

void StoreCommentChoices(const CommentStyles& styles, ProjectModel& project, Preferences& preferences) {
    if (project.isOpen()) {
        project.settings.comments = styles;
    } else {
        WriteSingleFileCommentStyles(preferences, styles);
    }
}

}  // namespace tessarel
