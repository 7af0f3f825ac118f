// sonorel-cli: restores stereo transfers of old mono records from the
// command line. Everything but the real streams and signals is in RunCli.

#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "cli/cli_app.h"
#include "cli/interrupt.h"
#include "cli/quiet_sound_libraries.h"
#include "cli/terminal.h"
#include "pipeline/process_file.h"
#include "portaudio/portaudio_output.h"

int main(int argc, char** argv) {
    sonorel::InstallInterruptHandlers();
    sonorel::QuietSoundLibraries();
    const std::vector<std::string> args(argv + (argc > 0 ? 1 : 0), argv + argc);
    // Previews play one file at a time on the sound card.
    const std::unique_ptr<sonorel::PlaybackOutput> soundCard = sonorel::MakePortAudioOutput();
    const sonorel::CliContext context{
        .out = std::cout,
        .err = std::cerr,
        .errIsTerminal = sonorel::StandardErrorIsTerminal(),
        .terminalColumns = sonorel::TerminalColumns(),
        .runner =
            [](const sonorel::RunRequest& request, sonorel::RunObserver& observer,
               std::filesystem::path* created) {
                return sonorel::ProcessFile(request, observer, created);
            },
        .cancel = sonorel::InterruptRequested(),
        .previewOutput = soundCard.get(),
    };
    int status = sonorel::RunCli(args, context);
    std::cout.flush();
    // The running files were finished as after any cancel; the status says
    // which signal ended the run.
    if (const int signalNumber = sonorel::InterruptSignal(); signalNumber != 0) {
        status = 128 + signalNumber;
    }
    return status;
}
