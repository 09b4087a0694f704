// The transfer functions whose blocks the generator tests write, each with
// a run of consecutive lines the block must hold. Every entry yields a block
// file, so a check that compiles the generated blocks with the
// model-language compiler (and simulates some of them) can walk this same
// table: generateInto (TransferTestSupport.h) writes dir/<blockName>.blk.
#ifndef KYT_TESTS_LAPLACE_TRANSFERBLOCKCASES_H
#define KYT_TESTS_LAPLACE_TRANSFERBLOCKCASES_H

#include <cstddef>

struct TransferBlockCase {
    const char* text;
    const char* blockName;
    // Consecutive lines of the block, up to the first null.
    const char* lines[5];
};

// A name of 100 characters, the longest the model language takes.
#define KYT_NAME_100 \
    "P123456789012345678901234567890123456789012345678901234567890123456789012345678901234567890123456789"

inline const TransferBlockCase kTransferBlockCases[] = {
    // The example block; its whole text is the golden file G1_K_over_1_plus_Ts.blk.
    {"K/(1+T*s)", "G1", {"SIM", "   x1 .= yp;", "   yp  = - 1./T*x1 + K/T*u;", "   y   = x1;", "ENDSIM"}},
    // Its discrete companion, golden file G2_half_over_z_minus_half.blk.
    {"0.5/(z-0.5)", "G2", {"   yk =  0.5*x1;", "   h  = -  -0.5*x1", "      + u;", "   x1 = h;"}},
    // No state: only the output line.
    {"K", "G3", {"SIM", "   y   = K*u;", "ENDSIM"}},
    {"1", "G4", {"$ BLOCKDIM -1 -1 6 3"}},
    {"1", "G4", {"OUTPUT", "   y \"[1] G4 Ausgang\";", "SIM", "   y   = u;", "ENDSIM"}},
    // Feed-through b = 1, c0 = 2 - 1*1.
    {"(s+2)/(s+1)", "G5", {"   x1 .= -x1 + u;", "   y   = x1 + u;"}},
    // b = -1 gives " - u".
    {"(-s)/(s+1)", "G6", {"   x1 .= -x1 + u;", "   y   = x1 - u;"}},
    // No feed-through: the state line goes through yp.
    {"-1/(s+1)", "G7", {"   x1 .= yp;", "   yp  = -x1 + -1.*u;", "   y   = x1;"}},
    // Degree 1 over 1: b = 1 and c0 = -1.
    {"s/(s+1)", "G8", {"   x1 .= -x1 + -1.*u;", "   y   = x1 + u;"}},
    // Zgh0(1/s) = (1 + 1.11 s)/s: a0 = 0 writes no term.
    {"Zgh0(1/s)", "G9", {"   x1 .= u;", "   y   = x1 + 1.11*u;"}},
    // A double integrator: a0 = a1 = 0.
    {"1/s^2", "G10", {"   x1 .= u;", "   x2 .= yp;", "   yp  = x1 ;", "   y   = x2;"}},
    // The sampling time T of a G(z) is declared once.
    {"T*z/(z-1)", "G11", {"PARAMETER", "   T  = 1. \"[s] Abtastzeit\";", "VAR"}},
    // PI and cE are constants of the model language, never parameters.
    {"PI/(1+s)", "G12", {"   y \"[1] G12 Ausgang\";", "STATE"}},
    {"cE*K/(1+s)", "G13", {"PARAMETER", "   K = 1.0 \"[?]\";", "STATE"}},
    // 26 characters: three TEXT lines.
    {"K1*K2*K3/(1+T1*s)/(1+T2*s)",
     "G14",
     {"$ TEXT \"G(s) = K1*K2*K3/\"", "$      \"(1+T1*s)/(1+T2*s\"", "$      \")\"", "$ TEXTALIG 1 1 1 1"}},
    // A line feed at the end is dropped before sizing and writing.
    {"K/(s+1)\n", "G15", {"$ WIZARD Laplace \"K/(s+1)\"", "BLOCK G15;", "$ BLOCKDIM -1 -1 7 3", "$ TEXT \"G(s) = K/(s+1)\""}},
    // Names that only look like the block's own.
    {"x2/(1+s)", "G16", {"PARAMETER", "   x2 = 1.0 \"[?]\";", "STATE"}},
    {"yp*s/(1+s)", "G17", {"   y   = x1 + yp*u;"}},
    {"h/(1+s)", "G18", {"   h = 1.0 \"[?]\";"}},
    {KYT_NAME_100 "/(1+s)", "G19", {"   " KYT_NAME_100 " = 1.0 \"[?]\";"}},
    // A continuous zero is a plain output line.
    {"0*s", "G20", {"SIM", "   y   = 0.*u;", "ENDSIM"}},
    // Feed-through in a G(z).
    {"K*z/(z-0.5)", "G21", {"PROCEDURE transfer;", "   yk =   -(-0.5*K)*x1", "      +  K*u;"}},
    // A large function within the node budget.
    {"(K*s+1)^10/(s+1)^10", "G22", {"   x10 \"[1] G22\";", "SIM"}},
};

#endif
