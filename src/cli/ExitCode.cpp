#include "cli/ExitCode.h"

const char* ExitCodeHelp()
{
    return "Exit status:\n"
           "  0    done\n"
           "  2    usage error (unknown option, missing or bad argument)\n"
           "  3    no connection (port will not open, modem did not connect, logger silent)\n"
           "  4    logger error (a command failed, or the download ended in errors)\n"
           "  5    verification failed (settings read back differ from the setup file)\n"
           "  6    archive error (cannot open, read or write the archive)\n"
           "  7    file error (setup file unreadable, CSV file not written)\n"
           "  130  interrupted by Ctrl-C (records already complete are kept)\n";
}
