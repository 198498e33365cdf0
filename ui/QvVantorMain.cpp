#include "QvVantorMain.h"

#include "About.h"
#include "QvApplication.h"
#include "frmMain.h"
#include "mainDM.h"
#include "options.h"

#include <QStyleFactory>
#include <QTimer>

#include <cstdio>
#include <cstring>
#include <memory>

TQvCommandLine ParseCommandLine(const QStringList& Args) {
    TQvCommandLine cl;
    for (int i = 0; i < Args.size(); ++i) {
        const QString& a = Args[i];
        if (a == QLatin1String("--help") || a == QLatin1String("-h")) {
            cl.Help = true;
        } else if (a == QLatin1String("--virtual")) {
            cl.Virtual = true;
        } else if (a == QLatin1String("--trace")) {
            if (i + 1 >= Args.size() || Args[i + 1].isEmpty()) {
                cl.Error = QStringLiteral("после --trace нужно имя файла");
                return cl;
            }
            cl.TracePath = Args[++i];
        } else if (a.startsWith(QLatin1String("--trace="))) {
            cl.TracePath = a.mid(8);
            if (cl.TracePath.isEmpty()) {
                cl.Error = QStringLiteral("после --trace нужно имя файла");
                return cl;
            }
        } else {
            cl.Error = QStringLiteral("неизвестный параметр: %1").arg(a);
            return cl;
        }
    }
    return cl;
}

QString CommandLineHelp() {
    return QStringLiteral(
        "Использование: qvvantor [--virtual] [--trace ФАЙЛ]\n"
        "Программа управления генератором сигналов Сивалон Ж7-ТН4/90.\n"
        "\n"
        "  --virtual      работать с виртуальным генератором (только в этом запуске,\n"
        "                 файл QvVantor.ini не меняется)\n"
        "  --trace ФАЙЛ   дописывать в ФАЙЛ каждую запись в канал связи: одна строка\n"
        "                 на запись, байты шестнадцатеричными цифрами через пробел\n"
        "  -h, --help     показать эту справку и выйти\n");
}

int RunQvVantor(int argc, char** argv, const std::function<void(TfrmMain&)>& AfterStart) {
    // The help must work without a display, so it is answered before the toolkit starts.
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::fputs(CommandLineHelp().toLocal8Bit().constData(), stdout);
            return 0;
        }
    }

    TQvApplication app(argc, argv);
    // One style everywhere, so that the panel colours show the same on every desktop.
    app.setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    QStringList args = app.arguments();
    args.removeFirst();
    const TQvCommandLine cl = ParseCommandLine(args);
    if (!cl.Error.isEmpty()) {
        std::fprintf(stderr, "qvvantor: %s\n%s", cl.Error.toLocal8Bit().constData(),
                     CommandLineHelp().toLocal8Bit().constData());
        return 2;
    }

    TDMmainSetup setup;
    if (cl.Virtual) {
        setup.DeviceOverride = TQvDevice::Virtual;
    }
    if (!cl.TracePath.isEmpty()) {
        setup.TraceLog = OpenTraceLog(cl.TracePath.toLocal8Bit().toStdString());
        if (!setup.TraceLog) {
            std::fprintf(stderr, "qvvantor: не удаётся открыть файл %s\n",
                         cl.TracePath.toLocal8Bit().constData());
            return 2;
        }
    }

    // Created in this order and destroyed in the reverse one.
    std::unique_ptr<TDMmain> DMmain;
    std::unique_ptr<TfrmMain> frmMain;
    std::unique_ptr<TfrmOptions> frmOptions;
    std::unique_ptr<TfrmAbout> frmAbout;
    try {
        DMmain = std::make_unique<TDMmain>(std::move(setup));
        frmMain = std::make_unique<TfrmMain>(*DMmain);
        frmOptions = std::make_unique<TfrmOptions>(*DMmain, *frmMain, frmMain.get());
        frmMain->frmOptions = frmOptions.get();
        frmAbout = std::make_unique<TfrmAbout>(frmMain.get());
        frmMain->show();
        if (AfterStart) {
            QTimer::singleShot(0, frmMain.get(), [&] { QvGuard([&] { AfterStart(*frmMain); }); });
        }
        app.exec();
    } catch (...) {
        TQvApplication::ShowCurrentException();
    }
    frmAbout.reset();
    frmOptions.reset();
    frmMain.reset();
    DMmain.reset();
    return 0;
}
