// The Method choice clicked with a real pointer (user_input.h has why): the
// run's settings follow it, and the settings file keeps it as `Method`.

#include <wx/radiobox.h>

#include "gui_fixture.h"
#include "settings/restoration_method.h"
#include "user_input.h"

namespace sonorel::test {
namespace {

class RealInputMethodTest : public MainWindowTest {
  protected:
    UserInput input;
};

// A point of `box`, in its client coordinates, on the item `item`.
std::optional<wxPoint> PointOnItem(const wxRadioBox& box, int item) {
    const wxSize size = box.GetClientSize();
    for (int y = 0; y < size.y; y += 2) {
        for (int x = 0; x < size.x; x += 2) {
            const wxPoint point(x, y);
            if (box.GetItemFromPoint(box.ClientToScreen(point)) == item) return point;
        }
    }
    return std::nullopt;
}

TEST_F(RealInputMethodTest, ClickedEnhancedReachesTheRunAndTheSettingsFile) {
    Open();
    ASSERT_TRUE(input.Focus(*frame)) << "the main window never got the keyboard focus";
    wxRadioBox& box = *frame->method_radio;
    ASSERT_EQ(box.GetString(1), "Enhanced");
    ASSERT_EQ(frame->ReadSettings().method, RestorationMethod::Classic);

    const std::optional<wxPoint> point = PointOnItem(box, 1);
    ASSERT_TRUE(point.has_value()) << "no point of the box lies on \"Enhanced\"";
    input.ClickAt(box, *point);
    ASSERT_TRUE(input.WaitFor([&] { return box.GetSelection() == 1; }));

    EXPECT_EQ(frame->ReadSettings().method, RestorationMethod::Enhanced);
    CloseAndDestroy();
    EXPECT_EQ(ReadSettingsKeys()["Method"], "1");
}

}  // namespace
}  // namespace sonorel::test
