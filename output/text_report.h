// The text report written beside the pictures of a capture.
#pragma once

namespace orbilux {

// The report step of the saving run: reads logType and the computer
// information from the live settings and writes makeOutputPath(0, ".txt").
// Returns whether a complete report file was written.
bool writeTextReport();

}  // namespace orbilux
