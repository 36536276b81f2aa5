#pragma once
// The top level of the program: run header, options, seed, parameter report and
// option dump, input stage, floorplanning stage, completion line.

// The whole run. Returns the process exit status (see osvo::Error): 0 when the
// floorplanning stage completed, 2 when its runs never fit the outline, and
// the status of the osvo::Error that ended the run otherwise, after flushing
// standard output and printing the error's message on its stream.
int osvoMain(int argc, char** argv);

// Seeds the process-wide random generators from option "-seed", first storing
// the current time as "-seed" when it is empty.
void seedRandomGenerators();

// Prints the input-related option values.
void reportPara();
