#include "app/handler_guard.h"

#include "app/front_end.h"
#include "support/environment.h"
#include "support/error_report.h"

#include <exception>
#include <system_error>

namespace tessarel {

void RunReported(Environment& env, FrontEnd& front, const ErrorSite& site, const std::function<void()>& body) {
    QString number;
    QString description;
    try {
        body();
        return;
    } catch (const ProgramEnding&) {
        throw;
    } catch (const std::system_error& error) {
        number = QString::number(error.code().value());
        description = QString::fromLocal8Bit(error.what());
    } catch (const std::exception& error) {
        number = QStringLiteral("0");
        description = QString::fromLocal8Bit(error.what());
    } catch (...) {
        number = QStringLiteral("0");
        description = QStringLiteral("Unknown error");
    }
    ReportError(env, QString::fromUtf16(site.procedure), QString::fromUtf16(site.module), number, description);
    front.endProgram();
    throw ProgramEnding{};
}

void RunIgnoringErrors(const std::function<void()>& body) {
    try {
        body();
    } catch (const ProgramEnding&) {
        throw;
    } catch (...) {
    }
}

bool RunEventHandler(const std::function<void()>& body) {
    try {
        body();
        return true;
    } catch (...) {
        return false;
    }
}

}  // namespace tessarel
