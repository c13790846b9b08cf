#pragma once
// A test's dealings with the stand-in: none runs before the test, and whatever runs after it is
// asked to quit and waited for.

#include <gtest/gtest.h>

#include <optional>

#include "StandInControl.h"
#include "StandInProcess.h"

namespace OmniRigTesting {

class StandInSession : public ::testing::Test {
protected:
    void SetUp() override { StandInProcess::endAll(); }
    void TearDown() override {
        if (control_) {
            endStandIn();
        }
        StandInProcess::endAll();
    }

    // The controls of the running stand-in (attached on first use).
    StandInControl& control() {
        if (!control_) {
            control_.emplace(StandInControl::attach());
        }
        return *control_;
    }
    // Asks the running stand-in to quit and waits until its process has ended.
    void endStandIn() {
        StandInProcess process(control().processId());
        control_->quit();
        control_.reset();
        EXPECT_TRUE(process.waitForExit()) << "the stand-in did not end";
    }
    void releaseControl() { control_.reset(); }

private:
    std::optional<StandInControl> control_;
};

}  // namespace OmniRigTesting
