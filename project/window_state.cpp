#include "project/window_state.h"

#include "project/tag_reader.h"
#include "project/text_values.h"
#include "support/string_functions.h"
#include "support/text_file.h"

#include <charconv>
#include <iterator>

namespace tessarel {

namespace {

/// The shortest decimal text that reads back as the same single-precision number.
QString SingleText(float value) {
    char buffer[32];
    const std::to_chars_result result = std::to_chars(std::begin(buffer), std::end(buffer), value);
    return QString::fromLatin1(buffer, result.ptr - buffer);
}

}  // namespace

int ResizedState(int remembered, WindowShow now) {
    switch (now) {
    case WindowShow::Normal:
        return kStateNormal;
    case WindowShow::Maximized:
        return kStateMaximized;
    case WindowShow::Minimized:
        // Minimizing from normal leaves "normal" remembered, so the next start
        // opens normal.
        return remembered == kStateMaximized ? kStateMinimizedFromMaximized : remembered;
    }
    return remembered;
}

int StateToWrite(int remembered, WindowShow now) {
    return remembered == kStateMinimizedFromMaximized ? kStateMinimizedFromMaximized : static_cast<int>(now);
}

QString WindowStateText(const WindowState& state) {
    return QStringLiteral("<?xml version=\"1.0\"?>") + kCrLf + QStringLiteral("<WindowsState>") + kCrLf +
           QStringLiteral("  <State>") + QString::number(state.state) + QStringLiteral("</State>") + kCrLf +
           QStringLiteral("  <Left>") + SingleText(state.left) + QStringLiteral("</Left>") + kCrLf +
           QStringLiteral("  <Top>") + SingleText(state.top) + QStringLiteral("</Top>") + kCrLf +
           QStringLiteral("  <Width>") + SingleText(state.width) + QStringLiteral("</Width>") + kCrLf +
           QStringLiteral("  <Height>") + SingleText(state.height) + QStringLiteral("</Height>") + kCrLf +
           QStringLiteral("</WindowsState>") + kCrLf;
}

RestoredWindowState ParseWindowState(const QString& text) {
    RestoredWindowState restored;
    if (text.isEmpty()) {
        return restored;
    }
    restored.fileRead = true;
    const std::optional<int> state = Int16Of(ReadSingleTag(text, QStringLiteral("State")));
    if (!state) {
        return restored;
    }
    std::optional<qint32>* const bounds[] = {&restored.left, &restored.top, &restored.width, &restored.height};
    const QString names[] = {QStringLiteral("Left"), QStringLiteral("Top"), QStringLiteral("Width"),
                             QStringLiteral("Height")};
    for (int i = 0; i < 4; ++i) {
        *bounds[i] = Int32Of(ReadSingleTag(text, names[i]));
        if (!*bounds[i]) {
            return restored;
        }
    }
    if (*state == kStateMaximized || *state == kStateMinimizedFromMaximized) {
        restored.maximize = true;
        restored.remembered = kStateMaximized;
    }
    return restored;
}

RestoredWindowState ReadWindowStateFile(const QString& path) { return ParseWindowState(ReadTextFile(path)); }

bool WriteWindowStateFile(UserInterface& ui, const QString& path, const WindowState& state) {
    return WriteTextFile(ui, path, WindowStateText(state), FileEncoding::Utf8);
}

}  // namespace tessarel
