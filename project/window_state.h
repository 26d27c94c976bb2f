#pragma once

#include <QString>

#include <optional>

namespace tessarel {

class UserInterface;

/// The file the main window keeps its place in, in the data folder.
inline const QString kWindowStateFileName = QStringLiteral("fs.xml");

/// How a window is shown right now.
enum class WindowShow { Normal = 0, Minimized = 1, Maximized = 2 };

/// Remembered and written states.
enum WindowStateValue : int {
    kStateNormal = 0,
    kStateMinimizedFromNormal = 1,  ///< only ever written, never remembered
    kStateMaximized = 2,
    kStateMinimizedFromMaximized = 3,
};

/// What the file holds: a state and the window's normal outer bounds, in the
/// file's units of 1/1440 inch.
struct WindowState {
    int state = kStateNormal;
    float left = 0;
    float top = 0;
    float width = 0;
    float height = 0;
};

/// What a restore does to a window. Each bound present is applied in the order
/// left, top, width, height; a bound missing stops there, keeping what came
/// before.
struct RestoredWindowState {
    bool fileRead = false;  ///< false: no file or an empty one; centre the window
    std::optional<qint32> left;
    std::optional<qint32> top;
    std::optional<qint32> width;
    std::optional<qint32> height;
    bool maximize = false;          ///< every value was read and the state asks for it
    int remembered = kStateNormal;  ///< the remembered state to start with
};

/// The remembered state after a resize event.
int ResizedState(int remembered, WindowShow now);
/// The state to write when the window closes.
int StateToWrite(int remembered, WindowShow now);

/// The file's text (without the line end that the file writer adds).
QString WindowStateText(const WindowState& state);
/// Reads the file's text; a value that is missing or not a number ends the
/// read quietly.
RestoredWindowState ParseWindowState(const QString& text);

/// A missing or unreadable file gives a restore that centres the window.
RestoredWindowState ReadWindowStateFile(const QString& path);
/// False when the file could not be written (already told).
bool WriteWindowStateFile(UserInterface& ui, const QString& path, const WindowState& state);

}  // namespace tessarel
