#pragma once
// The question list's thumbnails, made from each prepared picture by threads
// of their own, so that a quiz of many pictures opens, and its list scrolls,
// without waiting for them: a plain tile stands in until one is ready, then
// its items are drawn again. The rows being drawn come first; the rest of the
// document's are made behind them. Each picture's thumbnail is made once.

#include <windows.h>

#include <span>

#include "editing/quiz_document.h"

// Posted to the editor's window when thumbnails are ready.
inline constexpr UINT ThumbnailsReady = WM_APP + 1;

// The image list at the editor's scale, given to the question list `list`
// (null before the window is made): made anew, and every thumbnail with it,
// when there is none yet or its size changed.
void makeThumbnailList(HWND list);
// Where ThumbnailsReady goes: thumbnails made before the window wait for it.
void sendThumbnailsTo(HWND window);
// Every thumbnail forgotten: a new document.
void forgetThumbnails();
// The list image of `picture`: its thumbnail, or the plain tile while it is made.
int thumbnailIndex(const SharedPrepared& picture);
// These pictures' thumbnails made while no row asks for one.
void makeThumbnailsBehind(std::span<const SharedPrepared> pictures);
// These pictures' thumbnails made before those behind: the rows about to be drawn.
void makeThumbnailsFirst(std::span<const SharedPrepared> pictures);
// While held, only the thumbnails asked first are made: at start-up the
// window needs the processors until it is drawn.
void holdThumbnailsBehind(bool held);
// On ThumbnailsReady: the thumbnails made go into the list, which is drawn again.
void onThumbnailsReady();
// The window closes: the threads end.
void stopThumbnails();
