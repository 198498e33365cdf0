// Start-up of the program: the command line, the application object, the data module and the
// windows in their order, and the message loop.
#pragma once

#include <QString>
#include <QStringList>

#include <functional>

class TfrmMain;

struct TQvCommandLine {
    bool Virtual = false; // the virtual instrument for this run; the INI file is not touched
    QString TracePath;    // append every link write to this file
    bool Help = false;
    QString Error; // a command line we do not understand
};

// Arguments after the program's name; options of the toolkit are removed already.
TQvCommandLine ParseCommandLine(const QStringList& Args);
QString CommandLineHelp();

// The whole program. AfterStart, when given, runs once the windows exist (the screenshot tool
// drives the window through it).
int RunQvVantor(int argc, char** argv, const std::function<void(TfrmMain&)>& AfterStart = {});
