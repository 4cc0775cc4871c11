#pragma once
// A main-window stand-in for the link supervision: remembers what it was told.
#include "core/Language.h"
#include "link/LinkView.h"
#include "link/SerialHost.h"

#include <string>
#include <vector>

struct RecordingView : LinkView, SerialHost {
    std::string status, label;
    uint32_t statusColour = 0, labelColour = 0;
    bool errorPending = false, active = true;
    int identifiedCalls = 0, vanishedCalls = 0, titListCleared = 0;
    std::string refusedTitle, refusedText;
    std::vector<std::string> runtimeErrors; // their descriptions

    void showMessage(const std::string& t, uint32_t c, int) override {
        status = t, statusColour = c;
    }
    void setStatusBar(const std::string& t, uint32_t c) override { status = t, statusColour = c; }
    bool statusErrorPending() const override { return errorPending; }
    void clearStatusError() override { errorPending = false; }
    void setTitratorLabel(const std::string& t, uint32_t c) override { label = t, labelColour = c; }
    void setTitratorCaption(const std::string& t) override { label = t; }
    void clearTitratorList() override { ++titListCleared; }
    void setActive(bool enabled) override { active = enabled; }
    void linkStateChanged() override {}
    void onlineControls() override {}
    void offlineFilters() override {}
    void titratorIdentified() override { ++identifiedCalls; }
    void tickComPort(int) override {}
    void portDeviceVanished() override { ++vanishedCalls; }
    void firmwareRefused(const std::string& title, const std::string& text) override {
        refusedTitle = title, refusedText = text;
    }
    void statusMessage(const std::string& t, uint32_t c, int) override {
        status = t, statusColour = c;
    }
    void portError(const std::string& t) override { status = t, errorPending = true; }
    void busyChanged(bool) override {}
    void runtimeError(int, const std::string& description, const std::string&) override {
        runtimeErrors.push_back(description);
    }
};

// The language texts the supervision shows.
inline LanguageTable supervisionTexts() {
    LanguageTable t;
    t[311] = "Online";
    t[312] = "Offline";
    t[330] = "Communication error %v";
    t[348] = "Please wait";
    t[424] = "No titrator";
    t[432] = "The program ends.";
    t[623] = "Titrator";
    t[630] = "Firmware";
    t[631] = "Program %v cannot work with firmware %v";
    t[632] = "Firmware too new";
    t[633] = "Firmware too old";
    t[979] = "Invalid port";
    t[984] = "Disconnected";
    return t;
}
