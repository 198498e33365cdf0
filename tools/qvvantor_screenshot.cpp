// Starts the program as "qvvantor --virtual" would, connects, switches both outputs on and saves
// a picture of the main window. Usage: qvvantor_screenshot FILE.png [qvvantor options]
#include "QvVantorMain.h"
#include "chframe.h"
#include "frmMain.h"

#include <QAction>
#include <QApplication>
#include <QPixmap>
#include <QTimer>

#include <cstdio>
#include <vector>

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: qvvantor_screenshot FILE.png [options]\n");
        return 2;
    }
    const QString target = QString::fromLocal8Bit(argv[1]);
    std::vector<char*> args{argv[0]};
    for (int i = 2; i < argc; ++i) {
        args.push_back(argv[i]);
    }
    int count = static_cast<int>(args.size());
    args.push_back(nullptr);
    bool saved = false;
    RunQvVantor(count, args.data(), [&](TfrmMain& Main) {
        if (!Main.QvGen.Active()) {
            Main.act_GenConnect->trigger();
        }
        Main.frameChA->actCh_SetMode->trigger();
        Main.frameChB->actCh_SetMode->trigger();
        // Let the window paint before it is grabbed.
        QTimer::singleShot(500, &Main, [&Main, &saved, target] {
            saved = Main.grab().save(target);
            Main.close();
        });
    });
    return saved ? 0 : 1;
}
