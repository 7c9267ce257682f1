// The tally file "lexmire2tally.tld": the grid's text form, compressed, and
// what is done with the file found at start. The text form stays in memory; no
// intermediate file is written.
#pragma once

#include "tally_grid_text.h"
#include "tally_model.h"

#include <string>
#include <vector>

// The tally's rows from a grid of any width: a wider grid keeps its first ten
// columns, a narrower one is filled with "0".
std::vector<TallyModel::Row> tallyRowsOf(const TallyGrid& grid);
// The grid of ten columns the tally file holds.
TallyGrid tallyGridOf(const std::vector<TallyModel::Row>& rows);

// Reads the rows of a tally file; throws with the codec's or the grid's error text.
std::vector<TallyModel::Row> readTallyFile(const std::string& path);

// Writes the rows to a temporary file and renames it into place, so a failed
// write keeps the previous file; throws with the codec's error text.
void writeTallyFile(const std::string& path, const std::vector<TallyModel::Row>& rows);

// The tally file as found at start.
struct TallyLoad {
    enum class Outcome {
        Loaded, // rows holds the tally
        Missing, // no tally yet
        NotAFile, // a FIFO, device, folder or link: never opened, left as it is, never saved over
        KeptAside, // damaged: moved to keptAs, so the tally written at the end cannot replace it
        LeftDamaged, // damaged and impossible to move aside: left as it is, never saved over
    };
    Outcome outcome = Outcome::Missing;
    std::vector<TallyModel::Row> rows;
    std::string problem; // why it was refused or kept aside
    std::string keptAs;
};

// Reads the tally at start: clears away temporary files a killed save left,
// refuses anything but a regular file without opening it, and moves a file that
// cannot be read to the first free name of "<path>.unreadable", "<path>.unreadable.1", ...
TallyLoad loadTallyFile(const std::string& path);
