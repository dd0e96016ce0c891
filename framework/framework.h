// Every framework module in one include, for the game.
#pragma once

#include "framework/app.h"
#include "framework/asyncevent.h"
#include "framework/audio.h"
#include "framework/graphics.h"
#include "framework/input.h"
#include "framework/random.h"
