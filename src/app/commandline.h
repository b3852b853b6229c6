// SPDX-License-Identifier: MIT
#pragma once

#include "window/windowaccess.h"

#include <QString>
#include <QStringList>

#include <optional>

// What the command line asks for. It is read before the application object exists (so
// that --help works without a display) and uses QtCore alone; main() acts on it.
struct CommandLine
{
    enum class Action {
        Run,
        ShowHelp,
        ShowVersion,
        RejectUsage, // an unknown option, a stray argument or a bad value
    };

    Action action = Action::Run;
    // The help or version text for standard output, or the error for standard error.
    QString message;
    // The folder to work in, created if missing; none: the current directory.
    std::optional<QString> folder;

    // For a display that starts itself: applied after the start-up restore, for this run
    // only. File names are absolute, as the folder above may change the current one.
    std::optional<QString> text;
    std::optional<QString> importFile;
    std::optional<int> speed;
    std::optional<Direction> direction;
    bool start = false;
    bool fullScreen = false;
    // A screen's name or its number, counted from 0; checked once the screens are known.
    std::optional<QString> screen;
    // A file's absolute name, or "-" for standard input.
    std::optional<QString> follow;
};

// Reads the arguments, program name first.
[[nodiscard]] CommandLine parseCommandLine(const QStringList &arguments);

// The hint that follows a usage error.
[[nodiscard]] QString usageHint();

// Makes `folder` the current directory, creating it and any missing parent with mode
// 0700. Returns the reason on failure.
[[nodiscard]] std::optional<QString> enterFolder(const QString &folder);
