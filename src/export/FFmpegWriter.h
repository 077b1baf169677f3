// APNG, MP4 and WebM through FFmpeg's encoders and muxers, streamed into an atomic file.
//  - APNG: FFmpeg's APNG encoder (each frame stored as the rectangle that changed, with the
//    dispose and blend operations that keep it smallest), RGB or, when a frame has
//    transparent pixels, RGBA; lossless. Delays exact in hundredths; the loop count is the
//    file's number of plays (0 forever, at most 65535).
//  - MP4: H.264 (libx264, yuv420p, preset medium), WebM: VP9 (libvpx, yuv420p, constant
//    quality). Timestamps in hundredths from the delays, so every frame keeps its time;
//    sizes padded to even by repeating the last column and row; transparent pixels white.
//    Quality 0..100 maps onto the encoder's constant-rate factor (100 best).
#pragma once

#include "ExportAnimation.h"

void WriteFFmpegAnimation(const TExportAnimation& animation, const std::string& path, const TExportOptions& options,
                          const TExportProgress& progress);

// The constant-rate factor a quality gives: x264's 0..51, VP9's 0..63.
int X264Crf(int quality);
int Vp9Crf(int quality);
