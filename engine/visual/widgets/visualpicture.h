// A picture as a surface the visual step takes (the waveform backgrounds bmp1 .. bmp3).
#pragma once

#include <memory>

#include <QImage>

#include "engine/dib/tdibultra.h"

std::shared_ptr<TDIBUltra> dibFromImage(const QImage& image);
