// Any bytes as a project file. A refused file must leave the model untouched;
// a loaded one must survive a save and a reload unchanged, and the reloaded
// model must save to the same bytes.

#include "fuzz/fuzz_support.h"
#include "project/project_file.h"
#include "project/project_model.h"

using namespace tessarel;
using namespace tessarel::fuzz;
using namespace Qt::Literals::StringLiterals;

namespace {

ProjectModel Seeded();

struct World {
    QuietUserInterface ui;
    ScratchFolder work;
    // A model holds 4001 chapter slots; assigning over these reuses them
    // instead of allocating them anew for every input.
    const ProjectModel seed = Seeded();
    const ProjectModel fresh{};
    ProjectModel loaded, reloaded;
};

/// The parts of a model that the file holds.
bool SameContent(const ProjectModel& a, const ProjectModel& b) {
    if (!(a.settings == b.settings) || a.chapterCount() != b.chapterCount()) {
        return false;
    }
    for (int i = 0; i < a.chapterCount(); ++i) {
        const Chapter& x = a.Chapters[static_cast<size_t>(i)];
        const Chapter& y = b.Chapters[static_cast<size_t>(i)];
        if (x.Name != y.Name || x.RelPath != y.RelPath) {
            return false;
        }
    }
    return true;
}

/// A model with something in every field, so a load that wrongly keeps or
/// drops a value shows.
ProjectModel Seeded() {
    ProjectModel project;
    project.settings.IndexTitle = u"Seed title"_s;
    project.settings.SortSections = true;
    project.settings.RelDestPath = u"seed/"_s;
    project.Chapters = {Chapter{u"seed.c"_s, {}}};
    return project;
}

World& world() {
    // Destroyed at a normal exit, which removes its temporary folders.
    static World instance;
    return instance;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    World& w = world();
    w.ui.reset();
    w.work.empty();
    const QString input = w.work.file(u"input.qdx"_s);
    WriteFileBytes(input, QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)));

    ProjectModel& loaded = w.loaded;
    loaded = w.seed;
    const LoadOutcome outcome = LoadProject(w.ui, loaded, input, &w.ui);
    TESSAREL_FUZZ_CHECK(outcome != LoadOutcome::NotFound);
    TESSAREL_FUZZ_CHECK(!w.ui.busyShown, u"busy display left open"_s);
    TESSAREL_FUZZ_CHECK(w.ui.busyFaults.isEmpty(), w.ui.busyFaults.join(u"; "_s));
    if (outcome == LoadOutcome::Refused) {
        TESSAREL_FUZZ_CHECK(!w.ui.messages.empty(), u"refused without a word"_s);
        TESSAREL_FUZZ_CHECK(SameContent(loaded, w.seed) && loaded.ProjectPath.isEmpty(),
                            u"a refused load changed the model"_s);
        return 0;
    }
    TESSAREL_FUZZ_CHECK(loaded.ProjectPath == input && loaded.ProjectFileName == u"input.qdx"_s);
    TESSAREL_FUZZ_CHECK(loaded.chapterCount() <= kMaxChapters);
    IsProjectModified(loaded);

    const QString first = w.work.file(u"first.qdx"_s);
    TESSAREL_FUZZ_CHECK(SaveProject(w.ui, loaded, first, &w.ui));
    TESSAREL_FUZZ_CHECK(!w.ui.busyShown, u"busy display left open"_s);
    TESSAREL_FUZZ_CHECK(w.ui.busyFaults.isEmpty(), w.ui.busyFaults.join(u"; "_s));
    loaded.ProjectPath = first;
    TESSAREL_FUZZ_CHECK(!IsProjectModified(loaded), u"modified right after a save"_s);

    w.ui.reset();
    ProjectModel& reloaded = w.reloaded;
    reloaded = w.fresh;
    TESSAREL_FUZZ_CHECK(LoadProject(w.ui, reloaded, first) == LoadOutcome::Loaded,
                        w.ui.messages.empty() ? QString() : w.ui.messages.front().text);
    TESSAREL_FUZZ_CHECK(w.ui.messages.empty(), w.ui.messages.front().text);
    TESSAREL_FUZZ_CHECK(SameContent(loaded, reloaded), u"the saved project reads back differently"_s);
    TESSAREL_FUZZ_CHECK(!IsProjectModified(reloaded), u"a reloaded project counts as modified"_s);

    const QString second = w.work.file(u"second.qdx"_s);
    TESSAREL_FUZZ_CHECK(SaveProject(w.ui, reloaded, second));
    TESSAREL_FUZZ_CHECK(ReadFileBytes(first) == ReadFileBytes(second), u"a second save differs"_s);
    return 0;
}
