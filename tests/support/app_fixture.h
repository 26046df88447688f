// A fixture with the platform fakes installed and every window of the program created, on a
// 1024 x 768 screen unless a test says otherwise before creating the windows.
#pragma once

#include "app/application.h"
#include "platform/os/fakes.h"

#include <gtest/gtest.h>
#include <memory>

class AppFixture : public ::testing::Test {
protected:
    platform::FakeServices fakes;
    std::unique_ptr<TApplication> application;

    // Creates the application window and all windows; most tests call it from SetUp.
    void createProgram();
    void SetUp() override;
    void TearDown() override;
    virtual bool createInSetUp() const { return true; }

    // The screen size of the fake display.
    int sw() const { return fakes.display.size.width(); }
    int sh() const { return fakes.display.size.height(); }
};

// The same fixture with the windows left to the test to create.
class StartupFixture : public AppFixture {
protected:
    bool createInSetUp() const override { return false; }
};
