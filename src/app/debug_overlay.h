// The debug overlay of text-script runs: the panels toggled with the digit
// keys, the frame-time statistics and the frames-per-second line.
#pragma once

#include <cstdint>

namespace qf {

struct Engine;
class OverlayCanvas;

// The pages of the listing panels and their paging throttles.
struct OverlayPages {
    int commands = 0, source = 0, variables = 0, tables = 0;
    int listingWait = 0, variableWait = 0;
    int viewerPage = 8;      // the picture page viewer: table index 0..31
    int viewerCountdown = 5;
};

// Everything the overlay draws and decides in one frame; does nothing unless
// the game runs a plain text script.
void DebugOverlay(Engine& e, OverlayCanvas& canvas);

// The panels, drawn when their flags are set (exposed for tests).
void DrawCommandList(Engine& e, OverlayCanvas& canvas);
void DrawInterpreterPanel(Engine& e, OverlayCanvas& canvas);
void DrawTablesListing(Engine& e, OverlayCanvas& canvas);
void DrawVariableViewer(Engine& e, OverlayCanvas& canvas);
void DrawTableViewer(Engine& e, OverlayCanvas& canvas);
void DrawPageViewer(Engine& e, OverlayCanvas& canvas);
void DrawGeneralPanel(Engine& e, OverlayCanvas& canvas);
void DrawTimerPanel(Engine& e, OverlayCanvas& canvas, int x, int y);
void DrawFrameRateLine(Engine& e, OverlayCanvas& canvas, int x, int y);
// The frame-time statistics at the right edge (statistics mode 1..4+).
void DrawFrameStatistics(Engine& e, OverlayCanvas& canvas);

}  // namespace qf
