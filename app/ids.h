// The menu commands' ids. The numbers are fixed: the event tables route by
// them, and menu handlers that serve a range tell the items apart by them.
#pragma once

namespace MenuId {
enum : int {
  // File.
  Quit = 1,
  About = 2,
  Open = 5,
  OpenSamples = 6,  // the submenu
  Save = 7,
  Append = 8,
  Print = 9,
  PrintSetup = 10,
  Sample1 = 11,  // samples 128 to 131
  Sample2 = 12,
  Sample3 = 13,
  Sample4 = 14,
  // Edit.
  Undo = 15,
  ZoomIn = 16,
  ZoomOut = 17,
  DefaultSize = 18,
  AddNewCell = 19,
  Mirror = 20,
  AddCopy = 21,
  AddMirror = 22,
  PullPoint = 23,
  DetectComponents = 24,
  RemoveCell = 25,
  // Sway.
  TouchPerturbation = 26,
  SwayOnce = 27,
  SwaySome = 28,
  SwayMany = 29,
  // Help.
  Help = 30,
  // Colour.
  FaceForeground = 31,
  FaceBackground = 32,
  BackgroundColour = 33,

  // Added beside the original commands, above all their ids.
  Guide = 40,         // Help > Brimoss guide
  Export = 45,        // File, after Save: the sheet for other programs
  SavePicture = 46,   // File: a picture of the view
  ShowFeedback = 50,  // Edit: counts and refusals in the status bar, the current vertex marked
  GrowSheet = 55,     // Edit: one ring, animated on the canvas's timer
  ZoomToFit = 56,     // Edit: the whole surface in the canvas
  GrowSheetUntilFull = 57,  // Edit: ring after ring until no cell fits
};
}  // namespace MenuId
