// SPDX-License-Identifier: GPL-3.0-or-later
// Peer for the reading benchmark: counts the top-level block references (model space, and
// paper space whether in ENTITIES or in a *Paper_Space block) and their attributes with
// dxflib. dxflib reads ASCII DXF only.

#include <dxflib/dl_creationadapter.h>
#include <dxflib/dl_dxf.h>

#include <chrono>
#include <cstdio>
#include <string>

struct Counter : DL_CreationAdapter {
    bool inBlock = false, inPaperBlock = false, topLevel = false;
    long model = 0, paper = 0, attributes = 0;

    void addBlock(const DL_BlockData& data) override {
        inBlock = true;
        inPaperBlock =
            data.name.rfind("*Paper_Space", 0) == 0 || data.name.rfind("*PAPER_SPACE", 0) == 0;
    }
    void endBlock() override { inBlock = inPaperBlock = false; }
    void addInsert(const DL_InsertData&) override {
        topLevel = !inBlock || inPaperBlock;
        if (!topLevel) return;
        (inPaperBlock || getAttributes().isInPaperSpace() ? paper : model)++;
    }
    void addAttribute(const DL_AttributeData&) override { attributes += topLevel; }
};

int main(int argc, char** argv) {
    if (argc != 2) return std::fprintf(stderr, "usage: dxflib_count FILE.dxf\n"), 2;
    const auto start = std::chrono::steady_clock::now();
    Counter counter;
    DL_Dxf dxf;
    if (!dxf.in(argv[1], &counter)) return std::fprintf(stderr, "%s: not read\n", argv[1]), 1;
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("dxflib: %ld model + %ld paper block references, %ld attributes, %.4f s\n",
                counter.model, counter.paper, counter.attributes, seconds);
    return 0;
}
