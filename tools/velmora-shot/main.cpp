// velmora-shot: runs the program offscreen for a while and writes PNG images of its windows
// and its final state as JSON.
#include "app/ViewerApp.h"
#include "app/ViewerDlg.h"
#include "platform/Environment.h"
#include "platform/MessageBox.h"
#include "resources/ResourceIds.h"
#include "tools/common/WindowState.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QWidget>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

struct Options {
    std::string outDir;
    double seconds = 0;
};

void PrintUsage(FILE* out) {
    std::fprintf(out, "usage: velmora-shot --out DIR [--seconds S]\n"
                      "Runs Velmora offscreen and writes DIR/main.png, DIR/about.png and\n"
                      "DIR/state.json (captions and the texts of the controls).\n");
}

bool ParseOptions(int argc, char** argv, Options& opt) {
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        auto value = [&](const char* name) -> const char* {
            if (i + 1 >= argc) {
                std::fprintf(stderr, "velmora-shot: %s needs a value\n", name);
                return nullptr;
            }
            return argv[++i];
        };
        if (arg == "--help" || arg == "-h") {
            PrintUsage(stdout);
            std::exit(0);
        } else if (arg == "--out") {
            const char* v = value("--out");
            if (!v)
                return false;
            opt.outDir = v;
        } else if (arg == "--seconds") {
            const char* v = value("--seconds");
            if (!v)
                return false;
            opt.seconds = std::atof(v);
        } else {
            std::fprintf(stderr, "velmora-shot: unknown option %s\n", arg.c_str());
            return false;
        }
    }
    if (opt.outDir.empty()) {
        std::fprintf(stderr, "velmora-shot: --out DIR is required\n");
        return false;
    }
    return true;
}

void RunFor(double seconds) {
    QElapsedTimer timer;
    timer.start();
    do {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    } while (timer.elapsed() < seconds * 1000);
}

bool SaveWidget(QWidget* pWidget, const QString& path) {
    return pWidget && pWidget->grab().save(path, "PNG");
}

} // namespace

int main(int argc, char** argv) {
    Options opt;
    if (!ParseOptions(argc, argv, opt)) {
        PrintUsage(stderr);
        return 2;
    }
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    PrepareFontEnvironment();
    QApplication qapp(argc, argv);
    ApplyApplicationStyle();
    QDir().mkpath(QString::fromStdString(opt.outDir));
    QString out = QString::fromStdString(opt.outDir) + "/";

    QJsonArray boxes;
    SetMessageBoxHook([&boxes](const MessageBoxCall& call) {
        boxes.append(QJsonObject{{"caption", QString::fromStdString(call.caption)},
                                 {"text", QString::fromStdString(call.text)}});
        return IDOK;
    });

    CViewerApp app;
    CViewerDlg dlg;
    app.m_pMainWnd = &dlg;
    dlg.Create(IDD_VIEWER_DIALOG);
    RunFor(opt.seconds);

    bool ok = SaveWidget(dlg.Widget(), out + "main.png");
    SetModalHook([&](CDialog& about) {
        ok = SaveWidget(about.Widget(), out + "about.png") && ok;
        return IDOK;
    });
    dlg.OnSysCommand(IDM_ABOUTBOX, 0);
    SetModalHook(nullptr);

    QJsonObject state = WindowState(dlg);
    state.insert("boxes", boxes);
    QFile file(out + "state.json");
    ok = file.open(QIODevice::WriteOnly) && ok;
    file.write(QJsonDocument(state).toJson());
    file.close();
    SetMessageBoxHook(nullptr);
    app.m_pMainWnd = nullptr;
    if (!ok)
        std::fprintf(stderr, "velmora-shot: could not write into %s\n", opt.outDir.c_str());
    return ok ? 0 : 1;
}
