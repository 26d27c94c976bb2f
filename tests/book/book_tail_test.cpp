#include "book/book_tail.h"

#include "book_fixture.h"
#include "support/text_file.h"

#include <atomic>
#include <future>

namespace tessarel::testing {
namespace {

/// Writers of the book's files run side by side: a later one that is done
/// first must still leave the files and the log of the writers in order.
class TailWriters : public BookFixture {
protected:
    /// A writer of `name` as the book's writers go: its caption, its file, its row.
    static TailWriter Writes(const QString& name, const QString& text) {
        return {[name, text](const BookOutput& out) {
            UserInterface& ui = out.ws.env.ui;
            ui.setProgressCaption(name);
            ui.advanceProgress();
            ui.advanceProgress();
            if (!WriteTextFile(ui, out.path(name), text)) {
                return false;
            }
            ui.addLogRow(u"> "_s + name, QString(), RowStatus::Ok, QString(), name);
            return true;
        }};
    }

    /// What the run told, in order.
    QStringList told() const {
        QStringList lines;
        for (const auto& message : env.ui.messages) {
            lines << u"message "_s + message.title;
        }
        for (const auto& line : env.ui.log) {
            lines << line.reason;
        }
        lines << env.ui.captions;
        lines << QString::number(env.ui.progressSteps);
        return lines;
    }

    void clearUi() {
        env.ui.messages.clear();
        env.ui.log.clear();
        env.ui.captions.clear();
        env.ui.progressSteps = 0;
    }

    /// Holds writer 0 until writer 1 has its whole file and waits to put it in place.
    TailSeams secondFinishesFirst() {
        seams_.starting = [this](int i) {
            if (i == 0) {
                held_.get_future().wait();
            }
        };
        seams_.waiting = [this](int i) {
            if (i == 1 && !released_.exchange(true)) {
                // Its file is whole, and still beside its place.
                secondInPlaceEarly_ = QFileInfo::exists(dest + u"b.txt"_s) && ReadBytes(dest + u"b.txt"_s) != "old";
                held_.set_value();
            }
        };
        return seams_;
    }

    bool secondInPlaceEarly_ = false;

private:
    TailSeams seams_;
    std::promise<void> held_;
    std::atomic<bool> released_{false};
};

TEST_F(TailWriters, aLaterWriterDoneFirstWaitsAndIsToldInOrder) {
    const BookOutput out = output(0);
    bool lastSawAll = false;
    const std::vector<TailWriter> writers{
        Writes(u"a.txt"_s, u"first"_s),
        Writes(u"b.txt"_s, u"second"_s),
        // Reads what the writers before it made.
        {[this, &lastSawAll](const BookOutput& own) {
             lastSawAll = read(u"a.txt"_s) == u"first\r\n"_s && read(u"b.txt"_s) == u"second\r\n"_s;
             own.ws.env.ui.addLogRow(u"> last"_s, QString(), RowStatus::Ok, QString(), QString());
             return true;
         },
         true},
    };

    EXPECT_TRUE(RunTailWriters(out, writers, 2, env.ui, secondFinishesFirst()));
    EXPECT_FALSE(secondInPlaceEarly_);
    EXPECT_TRUE(lastSawAll);
    const QStringList sideBySide = told();
    EXPECT_EQ(sideBySide, (QStringList{u"> a.txt"_s, u"> b.txt"_s, u"> last"_s, u"a.txt"_s, u"b.txt"_s, u"4"_s}));
    const auto files = Tree(dest);

    QDir(dest).removeRecursively();
    clearUi();
    lastSawAll = false;
    EXPECT_TRUE(RunTailWriters(output(0), writers, 1, env.ui));
    EXPECT_TRUE(lastSawAll);
    EXPECT_EQ(told(), sideBySide);
    EXPECT_EQ(Tree(dest), files);
}

TEST_F(TailWriters, aFailedWriterKeepsTheFilesOfThoseAfterItFromTheirPlace) {
    const auto prepare = [this] {
        QDir(dest).removeRecursively();
        // A folder in the first file's place; the second one's last version stays.
        QDir().mkpath(dest + u"a.txt/inside"_s);
        WriteBytes(dest + u"b.txt"_s, "old");
    };
    std::atomic<int> lastRan{0};
    const std::vector<TailWriter> writers{
        Writes(u"a.txt"_s, u"first"_s),
        Writes(u"b.txt"_s, u"second"_s),
        {[&lastRan](const BookOutput&) {
             ++lastRan;
             return true;
         },
         true},
    };

    prepare();
    EXPECT_FALSE(RunTailWriters(output(0), writers, 2, env.ui, secondFinishesFirst()));
    const QStringList sideBySide = told();
    ASSERT_EQ(env.ui.messages.size(), 1u);
    EXPECT_TRUE(env.ui.messages[0].text.contains(dest + u"a.txt"_s));
    EXPECT_TRUE(env.ui.log.empty());
    EXPECT_EQ(lastRan, 0);
    // Nothing of the second writer is left, not even beside its place.
    const auto files = Tree(dest);
    EXPECT_EQ(files, (std::map<QString, QByteArray>{
                         {u"a.txt"_s, "folder"}, {u"a.txt/inside"_s, "folder"}, {u"b.txt"_s, "old"}}));

    prepare();
    clearUi();
    EXPECT_FALSE(RunTailWriters(output(0), writers, 1, env.ui));
    EXPECT_EQ(told(), sideBySide);
    EXPECT_EQ(Tree(dest), files);
    EXPECT_EQ(lastRan, 0);
}

}  // namespace
}  // namespace tessarel::testing
