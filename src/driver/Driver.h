#pragma once
// The top level of the program: run header, options, seed, parameter report and
// option dump, input stage, floorplanning stage, completion line.

// The whole run. Returns the process exit status: 0 when the floorplanning stage
// has returned, 1 when the chosen input format has no input path. The option
// layer ends the process itself (status 1) on a rule exit.
int osvoMain(int argc, char** argv);

// Seeds the process-wide random generators from option "-seed", first storing
// the current time as "-seed" when it is empty.
void seedRandomGenerators();

// Prints the input-related option values.
void reportPara();
