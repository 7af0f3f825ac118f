#pragma once
// A block tap that makes the picture of a run: it feeds the input's mid
// signal, the output and each channel's click flags into fixed-size columns
// as the blocks go by (memory depends on the picture, not on the file's
// length), and draws and writes NAME.png when the run is over, NAME being
// the output's name (the input's when there is no output).
//
// The output is drawn at the input frames it belongs to: the kernel's delay
// is taken out, so input and output line up whether or not the output file
// keeps the delay.

#include <filesystem>
#include <memory>
#include <string>

#include "pipeline/block_tap.h"

namespace sonorel {

struct PictureRequest {
    std::filesystem::path folder;  // an existing folder
    std::string inputName;         // the input's file name, for the title
    std::string settingsText;      // "click 5, noise 5, ...", for the title
};

class PictureTap final : public BlockTap {
  public:
    explicit PictureTap(PictureRequest request);
    ~PictureTap() override;

    void Begin(const TapSetup& setup) override;
    void Block(const TapBlock& block) override;
    void End(const RunSummary& summary) override;

    // After End: the picture written, or why none was.
    const std::filesystem::path& Written() const { return written_; }
    const std::string& Error() const { return error_; }

  private:
    struct Columns;
    PictureRequest request_;
    std::unique_ptr<Columns> columns_;  // from Begin to End
    std::filesystem::path written_;
    std::string error_;
};

}  // namespace sonorel
