#pragma once
// The command-line modes. Each prints plain lines on standard output and
// returns the process's exit status.
#include "app/dispatch.h"

int runListMode(const ModeValue&);
int runKillMode(const ModeValue& port);
int runKillTreeMode(const ModeValue& port);
int runLocalisationCheck(const ModeValue& key);
int runRestartMode(const ModeValue& port);
int runDockerMode(const ModeValue&);
int runProbeMode(const ModeValue& port);
int runHelpMode(const ModeValue&);
int runVersionMode(const ModeValue&);

/// Loads the tray module and runs the application until it quits.
int runApplication(int argc, char** argv);

/// Says what is wrong on one line of standard error; returns status 2.
int reportUsageError(const UsageError& error);
