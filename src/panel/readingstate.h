// CReadingState: the reading position that the search panel keeps (volume,
// printed page, hits of the result page opened last) and the steps over it.
// The main frame's "一覧" commands and their enable rules, and the toolbar's
// page slider, reach the panel only through this interface.
#pragma once

class CReadingState {
public:
    // The six reading commands of the "一覧" menu and the toolbar.
    enum class Step { kPrevPage, kNextPage, kPrevVolume, kNextVolume, kPrevHit, kNextHit };

    virtual ~CReadingState() = default;

    // Record index of the volume being read; 0 while no volume is read.
    virtual int GetCurrentNode() const = 0;
    // Printed page number of the page being read (meaningful once a volume is read).
    virtual int GetCurrentPage() const = 0;
    // Hit anchors of the result page opened last (0 before any) and the one shown.
    virtual int GetHitCount() const = 0;
    virtual int GetCurrentHit() const = 0;

    // The enable rule of step; the frame asks it when a menu opens and whenever
    // the window goes idle.
    virtual bool CanStep(Step step) const = 0;
    // Runs step. Called only while CanStep(step) holds.
    virtual void RunStep(Step step) = 0;
    // The user let go of the toolbar's page slider at printedPage (also after a
    // key move); positions passed while dragging are never reported.
    virtual void OnSliderRelease(int printedPage) = 0;
};
