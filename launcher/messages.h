// Every text and caption of the launcher's message boxes, written once: the
// decision flow, the running-program probe and the checker's simulation all
// show them from here. The texts are the launcher's own, spelling included.
#pragma once

constexpr char kAutorunCaption[] = "Autorun";
constexpr char kWarningCaption[] = "WARNING";
constexpr char kFatalErrorCaption[] = "Fatal Error";

constexpr char kLauncherRunningText[] = "The current programm is already running.";
constexpr char kSetupRunningText[] = "The setup is already running.";
constexpr char kProductRunningText[] = "The programm is already running.";
constexpr char kLinkNotFoundText[] = "Application link isn't found.";
constexpr char kProcessStatusBrokenText[] = "Failed to load PSAPI.DLL";
