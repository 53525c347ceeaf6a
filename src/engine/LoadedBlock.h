#pragma once

#include "config/Settings.h"
#include "core/UserInterface.h"

#include <QString>
#include <cstdint>

class BoardSession;

// What the File menu does with a block loaded from a data file once it is drawn. Each step
// returns the error number it recorded (0: none), for the message the window shows.

// SampleCodes into SampleVolts, then the spectrum of SampleCodes into Spectrum at the
// configured resolution. A loaded block has no sample rate: its frequencies stay in bins.
// Both steps run; the number of the last that failed is returned (shown with 531). After
// a failed spectrum the analyzer's metrics read "FFT failed".
int AnalyseLoadedBlock(BoardSession& session);
// SampleCodes added to the summed code histogram (shown with 533).
int AddLoadedBlockToHistogram(BoardSession& session);

// The box that tells of a failed step: "Error 531:6 occured while calculating FFT".
MessageRequest DataFileErrorMessage(int shownNumber, int recordedNumber, const QString& what);
// "N Data Samples Read", N the block length of the loaded block.
QString DataSamplesReadLine(const Settings& settings);
// "N FFT Samples Read".
QString FftSamplesReadLine(std::int16_t bins);
