#pragma once

#include <gtest/gtest.h>

#include "tests/support/fake_platform.h"
#include "tests/support/recording_message_boxes.h"
#include "tests/support/ui_driver.h"
#include "volume_queries/mod_volscope.h"

namespace fake {

// What every window test stands on: the scripted system, the module, message boxes that are
// answered at once and recorded, and the toolkit backend this test program runs on with the
// driver of its windows.
class WindowTest : public ::testing::Test {
  protected:
    fake::Platform os;
    volume_queries::ModVolscope modVolscope{os};
    fake::RecordingMessageBoxes boxes;
    fake::TestBackend backend = fake::makeTestBackend(boxes, os);
    toolkit::Toolkit& toolkit = *backend.toolkit;
    fake::UiDriver& ui = *backend.driver;
};

}  // namespace fake
