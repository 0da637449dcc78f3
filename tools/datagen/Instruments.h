#pragma once
// Voices of the soundtrack; each renders one note into a track at time t (seconds).
#include <vector>

#include "Synth.h"

void kick(Track& out, double t, float vel);
void snare(Track& out, double t, float vel);
void clap(Track& out, double t, float vel);
void hat(Track& out, double t, float vel, bool open, float pan);
void crash(Track& out, double t, float vel);
void bass(Track& out, double t, float dur, float note, float vel, float bright);
// Resonant squelchy line; slide glides from the previous note.
void acid(Track& out, double t, float dur, float note, float fromNote, float vel, float cutoff, bool accent);
void pad(Track& out, double t, float dur, const std::vector<float>& notes, float vel, float bright);
void pluck(Track& out, double t, float note, float vel, float pan);
void bell(Track& out, double t, float note, float vel, float pan, float decay);
void lead(Track& out, double t, float dur, float note, float vel, float bright);
void riser(Track& out, double t0, double t1, float vel);
void impact(Track& out, double t, float vel);
