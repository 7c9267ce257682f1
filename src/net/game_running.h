// The one "a round is being played" flag of a program. The server sets and
// clears it; in the host's program the window's game display writes it too,
// so words stop counting when the host's own clock shows 0:00.
#pragma once

struct GameRunning {
    bool value = false;
};
