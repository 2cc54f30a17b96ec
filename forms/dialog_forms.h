#pragma once
class TfrmConfig;
class TfrmVersion;
// Create the dialogs' controls as laid out and wire their events.
void LayoutConfigForm(TfrmConfig& form);
void LayoutVersionForm(TfrmVersion& form);
