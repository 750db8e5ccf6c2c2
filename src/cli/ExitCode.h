#pragma once

// What brevel's exit status tells a script. Listed in every --help and the
// man page; keep the three in step.
enum class ExitCode {
    Done = 0,
    Usage = 2,              // a wrong option or argument
    NoConnection = 3,       // the port would not open, the modem did not connect, or the logger did not answer
    LoggerError = 4,        // the logger failed a command, or the download ended in errors
    VerificationFailed = 5, // the settings read back differ from those programmed
    ArchiveError = 6,       // the archive could not be opened, read or written
    FileError = 7,          // a setup or CSV file could not be read or written
    Interrupted = 130,      // stopped by Ctrl-C; what was complete is kept
};

// The exit codes as --help lists them.
const char* ExitCodeHelp();
