#pragma once
// The paint box: the one control tied to the message loop, which paints it.
#include "control.h"
#include "graphics.h"

// A control the program paints itself. Its canvas draws into pixels the control keeps, so
// what was drawn stays until drawn over; OnPaint runs whenever it needs painting (first
// shown, resized).
class TPaintBox : public TGraphicControl {
public:
    explicit TPaintBox(TComponent* owner);
    ~TPaintBox() override;
    TCanvas& Canvas() { SizeSurface(); return canvas_; }
    const TPixelSurface& Surface() const { SizeSurface(); return surface_; }
    TNotifyEvent OnPaint;
    void SetBounds(int left, int top, int width, int height) override;
    void Invalidate();
    bool PaintPending() const { return invalid_; }
    // Runs OnPaint for the invalid part; the message pump calls it.
    void Paint();
    // The part drawn since the realisation last looked; it takes it and clears it.
    TRect TakeDirtyRect();

private:
    // The pixels follow the control's size when next used, not at every size change: a new
    // page's width and then its height cost one reallocation, not two.
    void SizeSurface() const;
    mutable TPixelSurface surface_;
    TCanvas canvas_;
    bool invalid_ = true;
    TRect dirty_{};
};
