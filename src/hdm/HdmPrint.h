#pragma once
// A readable dump of a model, on standard output unless told otherwise.
#include <iostream>

#include "hdm/Hdm.h"
#include "hdm/HdmTech.h"

namespace hdm {

void printModel(const Model* model, std::ostream& out = std::cout);
void printTech(const Tech* tech, std::ostream& out = std::cout);
void printMaster(const Master* master, std::ostream& out = std::cout);
void printPort(const Port* port, std::ostream& out = std::cout);
void printMasterVersion(const MasterVersion* version, std::ostream& out = std::cout);
void printInst(const Inst* inst, std::ostream& out = std::cout);
void printPin(const Pin* pin, std::ostream& out = std::cout);
void printNet(const Net* net, std::ostream& out = std::cout);
void printBus(const Bus* bus, std::ostream& out = std::cout);

}  // namespace hdm
