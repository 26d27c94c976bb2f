#pragma once

#include <QString>

namespace tessarel {

/// How far the reading or writing of a large project file is. The window shows
/// it in its busy window; elsewhere nobody watches (a null pointer).
class FileProgress {
public:
    virtual ~FileProgress() = default;
    virtual void show(const QString& title, const QString& current, int maximum) = 0;
    virtual void setValue(int value) = 0;
    virtual void hide() = 0;
};

}  // namespace tessarel
