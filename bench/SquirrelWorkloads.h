// The scripted workloads, each written once in Squirrel and once in Lua 5.1.
#pragma once

struct Workload {
    const char* name;
    const char* squirrel;  // defines run()
    const char* lua;       // defines run()
};

extern const Workload kWorkloads[];
extern const int kWorkloadCount;
