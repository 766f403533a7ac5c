#pragma once

#include <map>
#include <string>
#include <utility>
#include <vector>

// How the simulated instrument behaves: its identity, its measuring, and the faults it shows.
struct SimOptions {
    std::string Model = "VX6207"; // model name as in the model table ("VX6207-02", "VX6208", ...)
    std::string Serial = "123456";
    std::string Firmware = "1.00";
    int LatencyMs = 0; // delay before each reply
    std::string DropReplyTo; // header (as sent, case-insensitive) whose reply is never sent
    std::string GarbleReplyTo; // header whose reply is replaced by garbage bytes (still CR LF ended)
    int FaultEvery = 0; // the drop and garble faults hit only the first of every N lines they name (0, 1: all)
    // The reply to the DelayNth-th line naming DelayReplyTo (1: the first) comes DelayReplyMs late;
    // replies queued behind it wait for it, as the instrument answers in order.
    std::string DelayReplyTo;
    int DelayNth = 1;
    int DelayReplyMs = 0;
    int CloseAfterLines = 0; // close the connection after this many received lines (0 = never)
    bool Trickle = false; // send replies one byte per millisecond
    int TriggerEveryMs = 0; // fire the external trigger input every N ms (0 = never)
    int ZeroAdjustMs = 300; // duration of a zero adjustment
    bool ZeroAdjustFails = false; // ":ADJust?" answers 1
    int SelfTestResult = 0; // "*TST?" answer
    bool FrontCable = true; // "FRONtcheck?" answers 1
    int MeasureMs = 0; // time one reading takes
    unsigned BaudRate = 0; // pty only: answer only when the client's line speed is this (0 = any)
    double DefaultResistance = 1.23456e-3; // ohms, per channel unless overridden
    std::map<int, double> ChannelResistance; // channel (1..42) -> ohms; front terminals use channel 0
    bool OverRange = false; // readings answer the over-range text
    std::string TranscriptPath; // every received line, without CR LF, flushed per line

    // MUX state at power-on, as if the operator had set it up on the instrument (MUX models only).
    std::vector<int> MuxChannels; // channels enabled for scans; empty: channel 1 only; { 0 }: none
    int MuxSelect = 0; // selected channel; 0 = the front terminals
    std::string MuxScanMode; // "OFF", "STEP" or "AUTO"; empty: as after a reset
    bool MuxFailStop = false;
    // Comparator limits of channels in ohms (lower, upper): the comparator is switched on for them.
    std::map<int, std::pair<double, double>> ChannelLimits;
};
