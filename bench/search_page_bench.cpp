// Times the search page of a built book in the embedded browser, as the
// preview shows it: loading the page and its index, and each query from the
// typed text to the listed results. Make the page with book_build_bench:
//
//   build/bench/book_build_bench --keep /tmp/search
//   xvfb-run -a build/bench/search_page_bench /tmp/search/project/out

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <QWebEnginePage>
#include <QWebEngineView>

#include <cstdio>

namespace {

QVariant Evaluate(QWebEnginePage* page, const QString& script) {
    QVariant value;
    QEventLoop loop;
    page->runJavaScript(script, [&](const QVariant& result) {
        value = result;
        loop.quit();
    });
    QTimer::singleShot(60000, &loop, &QEventLoop::quit);
    loop.exec();
    return value;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const QString folder = QDir(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".")).absolutePath();
    QWebEngineView view;
    view.resize(1000, 700);
    view.show();
    QElapsedTimer clock;
    clock.start();
    QEventLoop loading;
    QObject::connect(&view, &QWebEngineView::loadFinished, &loading, &QEventLoop::quit);
    view.load(QUrl::fromLocalFile(folder + QStringLiteral("/_search.htm")));
    loading.exec();
    std::printf("page and index loaded in %lld ms\n", static_cast<long long>(clock.elapsed()));

    for (const char* query : {"unit3999_step7", "queue", "step", "zz no match", "u", "moves the queue one step"}) {
        // Each run types the query afresh; reading a height makes the browser
        // lay the results out, so that is counted too.
        const QString script =
            QStringLiteral(
                "(function () { var box = document.getElementById('SearchBox'); var runs = 20;"
                " var start = performance.now();"
                " for (var i = 0; i < runs; i++) { box.value = ''; box.dispatchEvent(new Event('input'));"
                "   box.value = '%1'; box.dispatchEvent(new Event('input'));"
                "   document.getElementById('SearchResults').offsetHeight; }"
                " var ms = (performance.now() - start) / runs;"
                " return ms.toFixed(1) + ' ms, ' + document.getElementById('SearchStatus').textContent; })()")
                .arg(QString::fromLatin1(query));
        std::printf("\"%s\": %s\n", query, qPrintable(Evaluate(view.page(), script).toString()));
    }
    return 0;
}
