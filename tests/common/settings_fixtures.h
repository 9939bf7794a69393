// Settings records shared by the tests of the portable core and of the Win32
// layer: a device-mode block, the record of tests/data/settings/full.ini, a
// record with every stored value away from its default, and the comparison
// of everything a record stores. Plain C++: no platform headers.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "settings/settings.h"

namespace tamrik_test {

using orbilux::ORBILUXSetting;

// A device mode with `extra` driver bytes behind the fixed part; the bytes
// count up from `seed`, so blocks of other seeds differ.
inline std::vector<uint8_t> MakeDevMode(uint16_t extra, uint8_t seed = 0) {
    std::vector<uint8_t> block(orbilux::kDevModeFixedSize + extra);
    for (size_t i = 0; i < block.size(); ++i) block[i] = static_cast<uint8_t>(seed + i);
    // dmDriverExtra written by hand, little-endian at byte 70, so that the
    // code's own reading of the layout is what the tests check.
    block[70] = static_cast<uint8_t>(extra & 0xFF);
    block[71] = static_cast<uint8_t>(extra >> 8);
    return block;
}

// The record of tests/data/settings/full.ini.
inline ORBILUXSetting FullRecord() {
    ORBILUXSetting r;
    r.general_.bDisplaySplash_ = false;
    r.general_.disabledMonitors_ = {1, 3};
    r.general_.numberOfMonitors_ = 4;
    r.general_.screenTarget = 1;
    r.printer_.bSetPrinter_ = true;
    r.printer_.bSetPage_ = true;
    r.printer_.printername_ = L"PDF";
    r.printer_.devModeBlock = MakeDevMode(4);
    const uint8_t extra[] = {0xDE, 0xAD, 0xBE, 0xEF};
    std::copy(extra, extra + 4, r.printer_.devModeBlock.begin() + orbilux::kDevModeFixedSize);
    r.printer_.ptPaperSize = {21000, 29700};
    r.printer_.rtMinMargin = {-1, 0, 635, 1270};
    r.printer_.lineHeightHead = 2;
    r.printer_.marginHead = 5;
    r.printer_.enableHead = false;
    r.printer_.lineHeightFoot = 3;
    r.printer_.marginFoot = 6;
    r.printer_.enableInfo = 1;
    r.printer_.pictureVerticalAlign = 1;
    r.format_.fontFace = L"MS Gothic";
    r.format_.fontSize = 9;
    r.format_.headStrings = {L"$date $time", L"\u30D8\u30C3\u30C0\u884C"};
    r.format_.footStrings = {L"$page/$maxpage"};
    r.key_.bEnableShotKey_ = false;
    r.key_.printVirtualKeyCode_ = 0x70;
    r.key_.printmodifiers = 6;
    r.key_.keyAction = 2;
    r.key_.keyKind = 1;
    r.key_.logType = 1;
    r.output_.bDateDir = true;
    r.output_.baseDirName = L"C:\\\u753B\u9762";
    r.output_.printMode = 2;
    r.output_.nPictureFormat = 1;
    r.output_.bpp = 0;
    r.output_.scale = 50;
    r.extras_.copyToClipboard = true;
    r.extras_.notifyAfterSave = false;
    r.extras_.captureDelay = 3;
    r.extras_.drawPointer = true;
    r.simpleMode = false;
    return r;
}

// A record with every stored value away from its default (the reset test of
// the settings model checks that it is): the full file's record and the
// values that file leaves at their defaults.
inline ORBILUXSetting ChangedRecord() {
    ORBILUXSetting r = FullRecord();
    r.general_.bEnableMutliMonitor_ = false;
    r.printer_.devModeBlock = MakeDevMode(37, 3);  // an odd number of driver bytes
    r.printer_.rtMargin = {500, 600, 700, 800};
    r.printer_.enableFoot = false;
    r.printer_.infoBoxRect = {-1, -2, 30, 40};
    r.key_.shotVirtualKeyCode_ = 0x71;
    r.key_.shotmodifiers = 1;
    return r;
}

// Every value a record stores is the same in both.
inline void ExpectStoredFieldsEqual(const ORBILUXSetting& a, const ORBILUXSetting& b) {
    EXPECT_EQ(a.general_.bDisplaySplash_, b.general_.bDisplaySplash_);
    EXPECT_EQ(a.general_.bEnableMutliMonitor_, b.general_.bEnableMutliMonitor_);
    EXPECT_EQ(a.general_.disabledMonitors_, b.general_.disabledMonitors_);
    EXPECT_EQ(a.general_.numberOfMonitors_, b.general_.numberOfMonitors_);
    EXPECT_EQ(a.general_.screenTarget, b.general_.screenTarget);
    EXPECT_EQ(a.printer_.bSetPrinter_, b.printer_.bSetPrinter_);
    EXPECT_EQ(a.printer_.bSetPage_, b.printer_.bSetPage_);
    EXPECT_EQ(a.printer_.printername_, b.printer_.printername_);
    EXPECT_EQ(a.printer_.devModeBlock, b.printer_.devModeBlock);
    EXPECT_EQ(a.printer_.ptPaperSize, b.printer_.ptPaperSize);
    EXPECT_EQ(a.printer_.rtMinMargin, b.printer_.rtMinMargin);
    EXPECT_EQ(a.printer_.rtMargin, b.printer_.rtMargin);
    EXPECT_EQ(a.printer_.lineHeightHead, b.printer_.lineHeightHead);
    EXPECT_EQ(a.printer_.marginHead, b.printer_.marginHead);
    EXPECT_EQ(a.printer_.enableHead, b.printer_.enableHead);
    EXPECT_EQ(a.printer_.lineHeightFoot, b.printer_.lineHeightFoot);
    EXPECT_EQ(a.printer_.marginFoot, b.printer_.marginFoot);
    EXPECT_EQ(a.printer_.enableFoot, b.printer_.enableFoot);
    EXPECT_EQ(a.printer_.infoBoxRect, b.printer_.infoBoxRect);
    EXPECT_EQ(a.printer_.enableInfo, b.printer_.enableInfo);
    EXPECT_EQ(a.printer_.pictureVerticalAlign, b.printer_.pictureVerticalAlign);
    EXPECT_EQ(a.format_.headStrings, b.format_.headStrings);
    EXPECT_EQ(a.format_.footStrings, b.format_.footStrings);
    EXPECT_EQ(a.format_.fontFace, b.format_.fontFace);
    EXPECT_EQ(a.format_.fontSize, b.format_.fontSize);
    EXPECT_EQ(a.key_.bEnableShotKey_, b.key_.bEnableShotKey_);
    EXPECT_EQ(a.key_.printVirtualKeyCode_, b.key_.printVirtualKeyCode_);
    EXPECT_EQ(a.key_.printmodifiers, b.key_.printmodifiers);
    EXPECT_EQ(a.key_.shotVirtualKeyCode_, b.key_.shotVirtualKeyCode_);
    EXPECT_EQ(a.key_.shotmodifiers, b.key_.shotmodifiers);
    EXPECT_EQ(a.key_.keyAction, b.key_.keyAction);
    EXPECT_EQ(a.key_.keyKind, b.key_.keyKind);
    EXPECT_EQ(a.key_.logType, b.key_.logType);
    EXPECT_EQ(a.output_.bDateDir, b.output_.bDateDir);
    EXPECT_EQ(a.output_.baseDirName, b.output_.baseDirName);
    EXPECT_EQ(a.output_.printMode, b.output_.printMode);
    EXPECT_EQ(a.output_.nPictureFormat, b.output_.nPictureFormat);
    EXPECT_EQ(a.output_.bpp, b.output_.bpp);
    EXPECT_EQ(a.output_.scale, b.output_.scale);
    EXPECT_EQ(a.extras_.copyToClipboard, b.extras_.copyToClipboard);
    EXPECT_EQ(a.extras_.notifyAfterSave, b.extras_.notifyAfterSave);
    EXPECT_EQ(a.extras_.captureDelay, b.extras_.captureDelay);
    EXPECT_EQ(a.extras_.drawPointer, b.extras_.drawPointer);
    EXPECT_EQ(a.simpleMode, b.simpleMode);
}

}  // namespace tamrik_test
