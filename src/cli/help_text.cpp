#include "cli/help_text.h"

#include <algorithm>
#include <array>
#include <string_view>

#include "cli/cli_options.h"
#include "settings/presets.h"
#include "settings/product.h"
#include "settings/restoration_settings.h"

namespace sonorel {

namespace {

constexpr std::size_t kHelpColumns = 78;
// Stands for a space that Wrap must not break a line at (also in the
// sliders' purpose texts).
constexpr char kUnbreakableSpace = '\x1f';
constexpr std::size_t kDescriptionIndent = 22;

// Fills lines of at most kHelpColumns with the words of `text`; the first
// line continues `line`, the others are indented by `indent`.
std::string Wrap(std::string line, std::string_view text, std::size_t indent) {
    std::string wrapped;
    bool lineHasWords = false;
    while (!text.empty()) {
        const std::size_t space = text.find(' ');
        const std::string_view word = text.substr(0, space);
        text.remove_prefix(space == std::string_view::npos ? text.size() : space + 1);
        if (lineHasWords && line.size() + 1 + word.size() > kHelpColumns) {
            wrapped += line + "\n";
            line.assign(indent, ' ');
            lineHasWords = false;
        }
        if (lineHasWords) line += ' ';
        for (const char c : word)
            line += (c == kUnbreakableSpace) ? ' ' : c;
        lineHasWords = true;
    }
    return wrapped + line + "\n";
}

std::string Pad(std::string text, std::size_t width) {
    if (text.size() < width) text.append(width - text.size(), ' ');
    return text;
}

std::string Unbreakable(std::string words) {
    std::replace(words.begin(), words.end(), ' ', kUnbreakableSpace);
    return words;
}

std::string ChoiceLine(const std::array<std::string_view, 3>& choices) {
    std::string line;
    for (int i = 0; i < 3; ++i) {
        if (i > 0) line += ", ";
        line += Unbreakable(std::to_string(i) + " " + std::string(choices[i]));
    }
    return line;
}

std::string SliderLines() {
    std::string text;
    for (const SliderRange& r : kSliderRanges) {
        text += Wrap(
            "  " + Pad("--" + std::string(r.option) + " N", kDescriptionIndent - 2),
            std::string(r.group) + ": " + std::string(r.purpose) + ". " +
                Unbreakable(std::to_string(r.minimum) + " to " + std::to_string(r.maximum) + ",") +
                " " + Unbreakable("default " + std::to_string(r.defaultValue) + "."),
            kDescriptionIndent);
    }
    return text;
}

std::string WizardLines() {
    const std::string indent(kDescriptionIndent, ' ');
    const auto paragraph = [&indent](const std::string& words) {
        return Wrap(indent, words, kDescriptionIndent);
    };
    return "  --wizard CATEGORY,EQ,HISS,CLICKS,WEAR\n" +
           paragraph(
               "set the nine values the settings wizard sets from its five answers: "
               "click, noise, distortion, gain, rumble, hiss, bass, treble and "
               "anti-phase. Each answer is a zero-based index or the choice's text, in "
               "any letter case.") +
           paragraph(
               "CATEGORY: the kind of record or label, 0 to 23 or its name (see "
               "--list-categories);") +
           paragraph("EQ, the playback equalisation of the transfer: " +
                     ChoiceLine(kPlaybackChoices) + ";") +
           paragraph("HISS: " + ChoiceLine(kHissChoices) + ";") +
           paragraph("CLICKS: " + ChoiceLine(kClicksChoices) + ";") +
           paragraph("WEAR: " + ChoiceLine(kWearChoices) + ".");
}

}  // namespace

std::string HelpText(int defaultJobs) {
    std::string text;
    text +=
        "Usage: sonorel-cli [OPTIONS] -o FOLDER INPUT...\n"
        "       sonorel-cli -r [OPTIONS] -o FOLDER TREE...\n"
        "       sonorel-cli --preview [OPTIONS] INPUT...\n"
        "\n"
        "Restores stereo transfers of old mono records (78s, cylinders, early LPs,\n"
        "tapes) into mono sound files of the same header type, data format and\n"
        "sample rate. Each input is measured over its whole length, then restored\n"
        "block by block: clicks are repaired in each channel, and each channel is\n"
        "estimated from the other, so that what the two groove walls share survives\n"
        "and what only one of them carries (surface noise, ticks) does not.\n"
        "\n"
        "Inputs and outputs:\n"
        "  -o, --output FOLDER   where the restored files go; \".\" puts each output\n"
        "                        beside its own input. The folder must exist and be\n"
        "                        writable: a missing or read-only one is refused\n"
        "                        (status 2).\n"
        "  -r, --recursive       restore the files under each folder named, in sorted\n"
        "                        order, into the same subfolders under FOLDER (made as\n"
        "                        needed). Files that are not sound files are skipped,\n"
        "                        named once and counted. Without -r, a folder is\n"
        "                        refused.\n"
        "  --share K/N           only the K-th of N shares of the sorted inputs, for N\n"
        "                        processes or machines that together make one run.\n"
        "  --skip-existing       skip an input whose own output name already holds a\n"
        "                        finished restoration of it (mono, of the length a run\n"
        "                        writes); to pick up after a killed run.\n"
        "  --dry-run             print each input's output and settings; create\n"
        "                        nothing.\n"
        "  --format same|wav|flac\n"
        "                        the outputs' file type; same (the default) keeps the\n"
        "                        input's. A lossy input (MP3, Ogg Vorbis, Opus) is then\n"
        "                        written lossy again: give wav or flac for a lossless\n"
        "                        master (24-bit unless --bits says otherwise).\n"
        "  --bits same|16|24|float\n"
        "                        the outputs' samples: same (the default) keeps the\n"
        "                        input's; float is not for FLAC.\n"
        "  --raw                 read files without a recognised header as raw 44100 Hz\n"
        "                        stereo big-endian 16-bit data whatever their names\n"
        "                        (otherwise only names ending in .raw or .pcm).\n"
        "  The output of side1.wav is FOLDER/side1.wav; when that name is taken, the\n"
        "  first free one of side1-1.wav, side1-2.wav, ... (the input's base name,\n"
        "  a hyphen and a counter from 1; an input without an extension gives an\n"
        "  output without one). An existing file is never overwritten, also when\n"
        "  several jobs or other programs pick names at the same time. Each output is\n"
        "  written as .NAME.partial and takes its name only once closed, so a killed\n"
        "  run never leaves a half-written file under a final name. Names depend on\n"
        "  the order of the inputs, never on which job finishes first.\n"
        "\n"
        "Restoration settings (the names, ranges and defaults of the main window):\n";
    text += SliderLines();
    text +=
        "  --function mono|vocal\n"
        "                      Function: mono (Mono Enhancer, the default) keeps what\n"
        "                      the two channels share; vocal (Vocal Remover) keeps what\n"
        "                      they do not.\n"
        "  --anti-phase        Anti-Phase Signal Channels, for vertical-cut records\n"
        "                      transferred with lateral-cut equipment. Off by default;\n"
        "                      --no-anti-phase turns it off again.\n"
        "  --keep-level        Keep Original Signal Level. Off by default;\n"
        "                      --no-keep-level turns it off again.\n"
        "  --method classic|enhanced\n"
        "                      Method: classic (the default) estimates each channel\n"
        "                      from the other block by block; enhanced repairs each\n"
        "                      wall's clicks from the other wall, combines the walls\n"
        "                      weighted by their noise and then suppresses the\n"
        "                      noise. The sliders keep their roles in both.\n";
    text += WizardLines();
    text +=
        "  Options take effect in the order given: a setting after --wizard overrides\n"
        "  the wizard's value, one before it is overridden.\n"
        "\n"
        "Running:\n";
    text += Wrap("  -j, --jobs N          ",
                 "restore N files at once, 1 to " + std::to_string(kMaxJobs) +
                     "; default: the number of cores (" + std::to_string(defaultJobs) +
                     " here). Results are reported in the order given.",
                 24);
    text += Wrap("  --threads-per-file N  ",
                 "threads for each file, 1 to " + std::to_string(kMaxJobs) +
                     "; with 2 or more, the two channels of each block are restored on two "
                     "cores at once (more than 2 are not used). The output is the same. "
                     "Default: the cores divided by the files restored at once, at least 1.",
                 24);
    text +=
        "  --preview             play the start of each file (--preview-time seconds)\n"
        "                        on the default sound output instead of writing,\n"
        "                        one file at a time; -o is not needed.\n"
        "  -q, --quiet           print nothing but errors.\n"
        "  --list-categories     print the wizard's 24 categories with their indices.\n"
        "  -h, --help            print this help.\n"
        "  -V, --version         print the version.\n"
        "  --                    the rest are inputs, even if they start with -.\n"
        "\n"
        "Archives (restoring only; none changes a sample but --align):\n"
        "  --report FILE         append a line per file to FILE (JSON Lines, created if\n"
        "                        need be; \"-\": standard output, then nothing else goes\n"
        "                        there): paths, SHA-256 of input and output, result,\n"
        "                        the input's format, the\n"
        "                        settings, what the restoration derived and counted,\n"
        "                        time taken, version, machine. Lines go in whole, also\n"
        "                        from several processes or machines at once. One that\n"
        "                        cannot be written is refused (status 2). Fields:\n"
        "                        man sonorel-cli, REPORT FILE.\n"
        "  --picture FOLDER      draw NAME.png per file into an existing FOLDER (NAME:\n"
        "                        the output's name; never over an existing file): the\n"
        "                        input's mid signal and the output as spectrograms on\n"
        "                        one time axis, their levels and the clicks found.\n"
        "  --align               make each output as long as its input, sample for\n"
        "                        sample in step with it: the delay is dropped and the\n"
        "                        end brought out.\n"
        "  --no-metadata         leave out the input's catalogue data, which is carried\n"
        "                        by default (--keep-metadata): title, artist, album,\n"
        "                        date, genre, track number, copyright, software and\n"
        "                        licence where the format can store them, a Broadcast\n"
        "                        WAV bext chunk with a line added to its coding\n"
        "                        history, cue points and labels (moved by the delay),\n"
        "                        iXML and other INFO fields as they are. The samples\n"
        "                        stay the same.\n"
        "\n"
        "Reporting:\n"
        "  While files run, standard error shows one progress line per running file\n"
        "  (name, percent, elapsed and remaining time) when it is a terminal. Each\n"
        "  restored file is listed on standard output as \"INPUT -> OUTPUT\", in the\n"
        "  order given. A failure is listed on standard error as \"INPUT: message:\n"
        "  cause\" (the cause: missing, a folder, not a regular file, permission\n"
        "  denied, not a sound file, the channel or frame count, a full disk):\n"
        "    Input file should be (but is not) stereo\n"
        "    Input file could not be opened or is too short\n"
        "    Output file could not be opened\n"
        "    Output file is incomplete      (stopped early; the shorter file is\n"
        "                                    well formed and says how long it is)\n"
        "    Problem playing preview        (--preview: no sound output)\n"
        "    Preview cancelled              (--preview)\n"
        "  Ctrl-C cancels: the running files stop at the next block and are closed\n"
        "  as shorter, well-formed files (\"Output file is incomplete\"), and no\n"
        "  further file starts; the exit status is then 130 (SIGINT) or 143\n"
        "  (SIGTERM). A second Ctrl-C ends the program at once.\n"
        "  The first 2649 samples of every output are silent: the restoration\n"
        "  delays the sound by 3162 samples (unless --align).\n"
        "\n"
        "Exit status:\n"
        "  0  every file was restored (or previewed) to its end\n"
        "  1  at least one file failed or was cancelled\n"
        "  2  the command line was refused; no file was touched\n"
        "  130, 143  cancelled by SIGINT or SIGTERM\n"
        "\n"
        "Examples:\n"
        "  sonorel-cli -o restored side1.wav side2.wav\n"
        "  sonorel-cli -o . --click 7 --hiss 12 transfers/*.wav\n"
        "  sonorel-cli --wizard \"HMV,RIAA / CCIR,1,2,2\" --rumble 60 -o out side1.wav\n"
        "  sonorel-cli --preview --preview-time 10 side1.wav\n";
    return text;
}

std::string VersionText() {
    return std::string(kCliName) + " (" + kProductNameAndVersion +
           ")\n"
           "License GPLv3+: GNU GPL version 3 or later <https://gnu.org/licenses/gpl.html>.\n"
           "This is free software: you are free to change and redistribute it.\n"
           "There is NO WARRANTY, to the extent permitted by law.\n";
}

std::string CategoryListText() {
    std::string text;
    for (int i = 0; i < kPresetCount; ++i) {
        const std::string index = std::to_string(i);
        text += (index.size() < 2 ? " " : "") + index + "  " +
                std::string(PresetTable[i].category) + "\n";
    }
    return text;
}

}  // namespace sonorel
