// The module's view of the host's procedure-template flags.
#pragma once

// Ends the template operation the host reports: a procedure created from a template clears the
// managed-template flag; otherwise a single procedure read clears the procedure-operation flag.
void template_flag_clear();
// 1 when a tool-path template or a managed template is being applied, else 0.
int is_template_active();
