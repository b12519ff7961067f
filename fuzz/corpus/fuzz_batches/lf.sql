create table t (a int)
go
insert into t values (1)
　GO　
select * from t
