#pragma once
// The per-file run: one stereo input becomes one restored mono output file
// (a Start run), or the start of it is processed into a preview buffer,
// which the caller then plays (a preview run; playback.h).
//
// Two passes: the analysis pass measures both channels over the whole file in
// blocks of 7060 frames; the processing pass rewinds and feeds the kernel
// blocks of 883 frames, writing each restored block to the output or to the
// 16-bit preview buffer (one loop over two sinks, block_sink.h).

#include <filesystem>

#include <string>

#include "pipeline/block_tap.h"
#include "pipeline/output_naming.h"
#include "pipeline/playback.h"  // a preview run is then played with PlayPreview
#include "pipeline/preview_buffer.h"
#include "pipeline/run_observer.h"
#include "pipeline/run_result.h"
#include "pipeline/run_summary.h"
#include "settings/restoration_settings.h"
#include "soundfile/sound_file.h"

namespace sonorel {

// What archives may ask of a Start run (a preview ignores it). With the
// defaults the output is the standard one.
struct ArchiveOptions {
    // The output holds exactly the input's frames, sample k from input frame
    // k: the kernel's delay is dropped and its tail flushed with silence.
    // Its samples are the standard output's, kKernelDelay samples earlier.
    bool align = false;
    // The input's catalogue data goes to the output where its format can
    // store it (see carried_metadata.h); `settingsText` ("click 5, noise 5,
    // ...") names the settings in the 'bext' chunk's coding history.
    bool keepMetadata = false;
    std::string settingsText;
};

struct RunRequest {
    RunKind kind = RunKind::Restore;  // a Start run, or a preview
    std::filesystem::path input;
    RunParameters params;
    // Restore: where the output goes, the first free name of the naming rule,
    // created exclusively.
    OutputNaming output;
    // Preview: receives the processed samples, its sample rate and label (it
    // is sized and filled by the call). Not owned. A preview without one
    // ends as RunNoOutput.
    PreviewBuffer* preview = nullptr;
    ArchiveOptions archive;
    // Sees every block of the processing pass (block_tap.h). Not owned.
    BlockTap* tap = nullptr;
    // Receives the run's record, complete when ProcessFile returns. Not owned.
    RunSummary* summary = nullptr;
    // Threads for the processing pass: 1, or 2 and more to run the two
    // channels of each block on two (one of them the calling thread). The
    // output is the same bit for bit.
    int threads = 1;
};

// Observer calls, in order: StopRequested while an input of unstated length
// is being measured at opening (true ends the run as RunIncomplete, nothing
// created); BeginBusy and EndBusy around the analysis pass, with
// StopRequested before each of its blocks (true ends the run there as
// RunIncomplete; a Start run's output is left without samples);
// BeginProgress(Processing, label, blocks), UpdateProgress(i) after block i
// (from 1), and on a cancel request ConfirmCancel (Start run only; No is
// followed by ResumeProgress and the next block); EndProgress. A preview run
// that ended RunOk is then played by its caller with PlayPreview (playback.h)
// through the same observer: BeginProgress(Playing, label, chunks),
// UpdateProgress(chunks written) about every 125 ms, EndProgress. The label is the output's file
// name without folder and extension (the input's for a preview). Inputs that are refused before the
// analysis make no observer call.
//
// Results: RunNotStereo; RunBadInput when the input cannot be opened, has
// fewer than 7060 frames, or a read fails in the analysis pass (a Start run
// then leaves its output without samples); RunNoOutput when the output cannot
// be created, or a preview has no buffer (or one of its size cannot be had);
// RunIncomplete when cancelled or a read or write failed during
// processing (the output holds exactly the blocks written and says so in its
// header).
//
// `createdOutput`, when given, receives the path of the output file the run
// created (empty if none). Runs on the calling thread, whose priority is
// lowered during the processing pass (a second thread, when asked for,
// starts at that priority); every observer call comes from it. Where the
// system refuses the second thread, the run goes on with one.
// Each call owns all its state, so calls on several threads at once are safe.
RunResult ProcessFile(const RunRequest& request, RunObserver& observer,
                      std::filesystem::path* createdOutput = nullptr);

// A Start run on an input and an output that are already open, as
// ProcessFile runs them once it has created the output: the same checks,
// passes, observer calls and results (the label is empty). `output` is
// closed at the end. For runs in memory (fuzzing).
RunResult RestoreOpened(SoundReader& input, SoundWriter& output, const RunParameters& params,
                        RunObserver& observer);

}  // namespace sonorel
