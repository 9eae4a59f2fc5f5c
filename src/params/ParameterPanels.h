#pragma once
// The parameter subsystem's side of the program: its pages and the procedures other subsystems
// call. Implemented in this folder's panel files.
class Program;

// Builds the parameter page, the group/hold page and the teach-table page into the main panel.
void BuildParameterPages(Program& program);

// Labels the active rows of the teach, group, hold and row tables from the current values.
void MarkActiveRows(Program& program);

// The parameter controls into the image, and the image into the controls.
void GetParametersFromPanel(Program& program);
void PutParametersToPanel(Program& program);
// Runs the rule chain on the current control values and applies its decisions.
void ApplyParameterRules(Program& program);
// The colour-limit check alone: MAX VEC NO and group limits, active-row labels.
void CheckColorLimits(Program& program);
// The teach cells after the operator changed CALCULATION MODE between 2D and 3D.
void ConvertTeachTable(Program& program);
// Paints the colour columns of the teach, group and hold tables from the row colour table.
void PaintTableRowColours(Program& program);

// SEND and GET to or from the selected memory; 1 on success, -1 after a reported failure.
int SendParameters(Program& program);
int GetParameters(Program& program);

// SEND and GET with FILE selected.
void WriteParameterFile(Program& program);
void ReadParameterFile(Program& program);
