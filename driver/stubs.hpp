// Facilities of the shared NC library that this module does not carry. Their callers stay as
// they are; each stub reports that the facility is absent (most through the error channel)
// and gives a fixed result, so every road through the callers stays defined. The status word
// is the last argument; "left unchanged" means the stub does not touch it.
#pragma once

// Stock identification: both output words and the status left unchanged.
void get_stockid(int& stock_id, int& stock_table, int& status);
void ZLINT3(int& status);                   // status -1
int dummy_status_stub();                    // silent; -1: the facility is absent
void dummy_clear_stub(int& status);         // silent; status 0
void HORPNT_ON_GRID(int& status);           // status -1
void LINNET_ON_GRID(int& status);           // status -1
void SIM_STAMP_TOOL_AT_POINT(int& status);  // status left unchanged
void INIT2_OPTIMIZE(int& status);           // status left unchanged
// Silent while the machining type is 36 (the caller passes the current machining type).
void SIM_GET_SET_POLBUF_KEY(int machining_type, int& status);  // status left unchanged
void SIM_ALLOC_BUF_KEY(int& status);                           // status left unchanged
void SIM_INIT_FOR_LINNET(int& status);                         // status left unchanged
void automatic_verifier(int& status);                          // status 0
