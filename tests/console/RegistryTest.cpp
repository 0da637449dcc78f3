#include <gtest/gtest.h>

#include <cinttypes>
#include <cstdio>
#include <string>

#include "ConsoleFixture.h"

namespace {

using namespace kvxtest;

typedef ConsoleTest RegistryTest;

int gVoidFloatCalls = 0;
float gLastFloat = 0.0f;
void voidFloat(float f) {
    ++gVoidFloatCalls;
    gLastFloat = f;
}
float floatFloat(float f) { return f * 3.0f; }
int intInt(int i) { return i * 2; }
int intVoid() { return 7; }
float floatInt(int i) { return i + 0.5f; }
void voidVoid() {}

TEST_F(RegistryTest, VariableTableCapacityAndGeneratedNames) {
    static float vars[Console::maxVars + 1];
    for (int i = 0; i < Console::maxVars; ++i) ASSERT_EQ(c.addVar(&vars[i]), 0);
    EXPECT_EQ(takeText(c), "");
    EXPECT_STREQ(c.varName[0], "VAR0");
    EXPECT_STREQ(c.varName[2], "VAR2");
    EXPECT_STREQ(c.varName[1023], "VAR1023");
    EXPECT_EQ(c.addVar(&vars[Console::maxVars]), 22);
    EXPECT_EQ(c.addVar(&vars[Console::maxVars], "LATE"), 22);
    EXPECT_EQ(c.numVars, 1024);
    EXPECT_EQ(takeText(c),
              "VarList is full (Console) create another Console or increase number of maxVars\n"
              "VarList is full (Console) create another Console or increase number of maxVars\n");
}

TEST_F(RegistryTest, NamesAreUpperCaseAndTheLastRegistrationWins) {
    float a = 1.0f, b = 2.0f, c3 = 3.0f;
    c.addVar(&a, "Speed");
    c.addVar(&b);  // numbered by its index
    EXPECT_STREQ(c.varName[0], "SPEED");
    EXPECT_STREQ(c.varName[1], "VAR1");
    EXPECT_EQ(c.getEVar("SPEED"), 1.0f);
    EXPECT_EQ(c.getEVar("Speed"), -1.0f);  // lookups are case-sensitive
    c.addVar(&c3, "speed");
    EXPECT_EQ(c.getEVar("SPEED"), 3.0f);
    EXPECT_EQ(c.setEVar("SPEED", 9.9f), 9);
    EXPECT_EQ(c3, 9.9f);
    EXPECT_EQ(a, 1.0f);
    EXPECT_EQ(c.setEVar("SPEED", -2.5f), -2);  // truncation toward zero

    EXPECT_EQ(c.getEVar("NOPE"), -1.0f);
    EXPECT_EQ(c.setEVar("NOPE", 1.0f), -1);
    float minusOne = -1.0f;
    c.addVar(&minusOne, "M");
    EXPECT_EQ(c.getEVar("M"), -1.0f);  // indistinguishable from "not found"
    c.addVar(nullptr, "DANGLING");
    EXPECT_EQ(c.getEVar("DANGLING"), -2.0f);
    EXPECT_EQ(c.setEVar("DANGLING", 5.0f), -2);
    EXPECT_EQ(c.getEVar(nullptr), -1.0f);
}

TEST_F(RegistryTest, FunctionTablesAndEvaluation) {
    for (int i = 0; i < Console::maxFuncs; ++i) ASSERT_EQ(c.addFunc(&intInt, "F"), 0);
    EXPECT_EQ(c.addFunc(&intInt, "F"), 29);
    EXPECT_EQ(takeText(c),
              "FuncList(n) is full (Console) create another Console or increase number of "
              "maxFuncs(n)\n");
    EXPECT_EQ(c.funcs[4].count, 64);
    EXPECT_EQ(c.addFunc(&floatFloat, "TRIPLE"), 0);  // other signatures still accept
    EXPECT_EQ(c.evalEFunc("TRIPLE", 0, 2.0f), 6.0f);
    EXPECT_EQ(c.evalEFunc("F", 21, 0.0f), 42.0f);

    c.addFunc(&voidFloat, "SetFog");
    EXPECT_STREQ(c.funcs[0].name[0], "SETFOG");
    gVoidFloatCalls = 0;
    EXPECT_EQ(c.evalEFunc("SetFog", 0, 1.0f), 0.0f);
    EXPECT_EQ(gVoidFloatCalls, 0);
    EXPECT_EQ(c.evalEFunc("SETFOG", 0, 1.5f), 0.0f);
    EXPECT_EQ(gVoidFloatCalls, 1);
    EXPECT_EQ(gLastFloat, 1.5f);

    // The void(float) table is searched before float(float).
    c.addFunc(&floatFloat, "BOTH");
    c.addFunc(&voidFloat, "BOTH");
    EXPECT_EQ(c.evalEFunc("BOTH", 0, 4.0f), 0.0f);
    EXPECT_EQ(gVoidFloatCalls, 2);

    c.addFunc(&intVoid, "SEVEN");
    c.addFunc(&floatInt, "HALF");
    EXPECT_EQ(c.evalEFunc("SEVEN", 0, 0.0f), 7.0f);
    EXPECT_EQ(c.evalEFunc("HALF", 2, 0.0f), 2.5f);
    c.addFunc(static_cast<KVXFuncFloatVoid>(nullptr), "NOTHING");
    EXPECT_EQ(c.evalEFunc("NOTHING", 0, 0.0f), -2.0f);
    EXPECT_EQ(c.evalEFunc("MISSING", 0, 0.0f), 0.0f);
}

TEST_F(RegistryTest, Listings) {
    float v = 1.5f;
    c.addVar(&v);
    c.addVar(nullptr, "none");
    c.listEVars();
    char expected[256];
    snprintf(expected, sizeof expected,
             "External Variable List:\n\n0x%" PRIxPTR
             " - VAR0 - 1.500000\n0x0 - NONE - NULL\n"
             "\n2 variables\n\n",
             reinterpret_cast<uintptr_t>(&v));
    EXPECT_EQ(takeText(c), expected);

    c.addFunc(&floatFloat, "ff");
    c.addFunc(&voidVoid, "vv");
    c.addFunc(&voidFloat, "vf1");
    c.addFunc(&voidFloat, "vf2");
    c.addFunc(&intInt, "ii");
    c.listEFuncs();
    EXPECT_EQ(takeText(c),
              "External Function List:\n\n    Void VF1(Float)\n    Void VF2(Float)\n"
              "    Void VV(Void)\n    Int II(Int)\n    Float FF(Float)\n");
}

}  // namespace
